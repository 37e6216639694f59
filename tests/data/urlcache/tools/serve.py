import gzip, http.server, sys, os
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'site')
class H(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        path = self.path.split('?')[0].lstrip('/')
        if path == 'img/cut.png':
            data = open(os.path.join(ROOT, 'img/a.png'), 'rb').read() * 60
            self.send_response(200)
            self.send_header('Content-Type', 'image/png')
            self.send_header('Cache-Control', 'max-age=86400')
            self.send_header('ETag', '"cut1"')
            self.send_header('Last-Modified', 'Tue, 01 Dec 2026 10:00:00 GMT')
            self.send_header('Accept-Ranges', 'bytes')
            self.send_header('Content-Length', str(len(data)))
            self.end_headers()
            self.wfile.write(data[:len(data)//3])
            self.wfile.flush()
            self.close_connection = True
            import socket
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        f = os.path.join(ROOT, path)
        if not os.path.isfile(f):
            self.send_error(404); return
        data = open(f, 'rb').read()
        ctype = {'.png': 'image/png', '.html': 'text/html', '.css': 'text/css'}[os.path.splitext(f)[1]]
        self.send_response(200)
        self.send_header('Content-Type', ctype)
        self.send_header('Cache-Control', 'max-age=86400')
        if path.endswith('.css'):
            data = gzip.compress(data)
            self.send_header('Content-Encoding', 'gzip')
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)
http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[1])), H).serve_forever()
