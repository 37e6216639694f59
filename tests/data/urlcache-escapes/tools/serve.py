# Serves page.html, and the same small PNG for every other path, on 127.0.0.1:<port>.
import http.server, os, sys
HERE = os.path.dirname(os.path.abspath(__file__))
PNG = open(os.path.join(HERE, '../../urlcache/tools/site/img/a.png'), 'rb').read()
PAGE = open(os.path.join(HERE, 'page.html'), 'rb').read()
class H(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith('/page.html'):
            data, ctype = PAGE, 'text/html; charset=utf-8'
        else:
            data, ctype = PNG, 'image/png'
        self.send_response(200)
        self.send_header('Content-Type', ctype)
        self.send_header('Cache-Control', 'max-age=86400')
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)
http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[1])), H).serve_forever()
