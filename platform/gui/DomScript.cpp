#include "platform/gui/DomScript.h"

#include "platform/core/com/Dispatch.h"

namespace ql::web {

namespace {

// Handles are [id, token]: the token changes with every document, so an object of an older
// document is refused instead of touching something else. Text "as rendered": text nodes that
// have a box, whitespace runs as one blank except where whitespace is preserved, a line break
// at <br> and between blocks. findText and wrapText work on that same text.
const char kLibrary[] = R"JS((function(){
var Q = window.__ql;
if (Q && Q.doc === document) return Q;
Q = {doc: document, token: String(Math.random()).slice(2) + '.' + Date.now(), next: 1, objs: new Map()};
window.__ql = Q;
Q.put = function(o) { if (!o) return null; var id = Q.next++; Q.objs.set(id, o); return [id, Q.token]; };
Q.drop = function(hs) {
  hs.forEach(function(h) { if (Array.isArray(h) && h[1] === Q.token) Q.objs.delete(h[0]); });
  return true;
};
Q.get = function(h) {
  if (!Array.isArray(h) || h[1] !== Q.token || !Q.objs.has(h[0])) throw new Error('stale object');
  return Q.objs.get(h[0]);
};
var SKIP = {SCRIPT:1, STYLE:1, NOSCRIPT:1, TEMPLATE:1, HEAD:1, TITLE:1};
var CONTROL = {IMG:1, INPUT:1, TEXTAREA:1, SELECT:1, BUTTON:1, OBJECT:1, EMBED:1, IFRAME:1, VIDEO:1, AUDIO:1, CANVAS:1, HR:1};
function isWs(c) { return c === ' ' || c === '\t' || c === '\n' || c === '\r' || c === '\f'; }
function blockOf(n) {
  for (var e = n.parentElement; e; e = e.parentElement) {
    var d = getComputedStyle(e).display;
    if (d !== 'inline' && d !== 'contents' && d.indexOf('inline') !== 0) return e;
  }
  return null;
}
function hidden(t) {
  for (var e = t.parentNode; e; e = e.parentNode) if (e.nodeType === 1 && SKIP[e.nodeName.toUpperCase()]) return true;
  var p = t.parentElement;
  return !p || p.getClientRects().length === 0;
}
function preserved(t) {
  var w = getComputedStyle(t.parentElement).whiteSpace;
  return w.indexOf('pre') === 0 || w === 'break-spaces';
}
// s: characters; nodes/offs: where each comes from (null for a line break we add);
// runs: the text node pieces inside the range.
Q.collect = function(r) {
  var out = {s: [], nodes: [], offs: [], runs: []};
  var root = r.commonAncestorContainer;
  if (root.nodeType !== 1 && root.nodeType !== 9 && root.nodeType !== 11) root = root.parentNode;
  if (!root) return out;
  var space = true, lastBlock;
  function push(c, n, o) { out.s.push(c); out.nodes.push(n); out.offs.push(o); }
  function brk() { if (out.s.length && out.s[out.s.length - 1] !== '\n') push('\n', null, 0); space = true; }
  var w = document.createTreeWalker(root, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT);
  for (var n = w.currentNode; n; n = w.nextNode()) {
    if (!r.intersectsNode(n)) continue;
    if (n.nodeType === 1) {
      if (n.nodeName.toUpperCase() === 'BR') brk();
      continue;
    }
    if (n.nodeType !== 3 || hidden(n)) continue;
    var a = n === r.startContainer ? r.startOffset : 0;
    var b = n === r.endContainer ? r.endOffset : n.data.length;
    if (b <= a) continue;
    var blk = blockOf(n);
    if (lastBlock !== undefined && blk !== lastBlock) brk();
    lastBlock = blk;
    out.runs.push({n: n, a: a, b: b});
    var keep = preserved(n);
    for (var i = a; i < b; i++) {
      var c = n.data[i];
      if (keep) {
        if (c === '\r') continue;
        if (c === '\n') { push('\n', n, i); space = true; } else { push(c, n, i); space = false; }
      } else if (isWs(c)) {
        if (!space) push(' ', n, i);
        space = true;
      } else {
        push(c, n, i);
        space = false;
      }
    }
  }
  return out;
};
Q.text = function(r) { return Q.collect(r).s.join('').replace(/\n/g, '\r\n'); };
function lowerUnits(t) {
  var o = '';
  for (var i = 0; i < t.length; i++) { var l = t[i].toLowerCase(); o += l.length === 1 ? l : t[i]; }
  return o;
}
var WORD = /[\p{L}\p{N}_]/u;
// A collapsed range searches on to the end of the document (backward: from its start).
Q.findText = function(r, needle, count, flags) {
  var sr = r;
  if (r.collapsed) {
    sr = r.cloneRange();
    var root = document.body || document.documentElement;
    if (count < 0) sr.setStart(root, 0); else sr.setEnd(root, root.childNodes.length);
  }
  var st = Q.collect(sr);
  var hay = st.s.join('').replace(/\n/g, ' ');
  var pat = needle.replace(/[ \t\n\r\f]+/g, ' ');
  if (!pat.length) return false;
  if (!(flags & 4)) { hay = lowerUnits(hay); pat = lowerUnits(pat); }
  function wordOk(i) {
    if (!(flags & 2)) return true;
    var before = i > 0 ? hay[i - 1] : ' ', after = i + pat.length < hay.length ? hay[i + pat.length] : ' ';
    return !WORD.test(before) && !WORD.test(after);
  }
  var idx = -1;
  if (count < 0) {
    for (var j = hay.lastIndexOf(pat); j >= 0; j = j > 0 ? hay.lastIndexOf(pat, j - 1) : -1) if (wordOk(j)) { idx = j; break; }
  } else {
    for (var k = hay.indexOf(pat); k >= 0; k = hay.indexOf(pat, k + 1)) if (wordOk(k)) { idx = k; break; }
  }
  if (idx < 0) return false;
  var first = -1, last = -1;
  for (var m = idx; m < idx + pat.length; m++) if (st.nodes[m]) { if (first < 0) first = m; last = m; }
  if (first < 0) return false;
  r.setStart(st.nodes[first], st.offs[first]);
  r.setEnd(st.nodes[last], st.offs[last] + 1);
  return true;
};
Q.wrapText = function(r, tag, style) {
  var runs = Q.collect(r).runs, firstEl = null, lastEl = null;
  for (var i = 0; i < runs.length; i++) {
    var t = runs[i].n;
    if (runs[i].b < t.data.length) t.splitText(runs[i].b);
    if (runs[i].a > 0) t = t.splitText(runs[i].a);
    var el = document.createElement(tag);
    el.setAttribute('style', style);
    t.parentNode.insertBefore(el, t);
    el.appendChild(t);
    if (!firstEl) firstEl = el;
    lastEl = el;
  }
  if (firstEl) { r.setStartBefore(firstEl); r.setEndAfter(lastEl); }
  return runs.length;
};
Q.parse = function(html) {
  var t = document.createElement('template');
  t.innerHTML = html;
  return document.importNode(t.content, true);
};
Q.pasteHTML = function(r, html) {
  var frag = Q.parse(html), last = frag.lastChild;
  r.deleteContents();
  r.insertNode(frag);
  if (last && last.parentNode) r.setStartAfter(last);
  r.collapse(true);
};
Q.htmlText = function(r) { var d = document.createElement('div'); d.appendChild(r.cloneContents()); return d.innerHTML; };
Q.selType = function() {
  var s = getSelection();
  if (!s || !s.rangeCount || s.isCollapsed) return 'None';
  var r = s.getRangeAt(0);
  if (r.startContainer === r.endContainer && r.startContainer.nodeType === 1 && r.endOffset - r.startOffset === 1) {
    var c = r.startContainer.childNodes[r.startOffset];
    if (c && c.nodeType === 1 && CONTROL[c.nodeName.toUpperCase()]) return 'Control';
  }
  return 'Text';
};
Q.selRange = function() {
  var s = getSelection();
  if (s && s.rangeCount) return s.getRangeAt(0).cloneRange();
  var r = document.createRange();
  r.setStart(document.body || document.documentElement, 0);
  return r;
};
Q.select = function(r) { var s = getSelection(); s.removeAllRanges(); s.addRange(r); };
Q.bodyRange = function() {
  var r = document.createRange();
  r.selectNodeContents(document.body || document.documentElement);
  return r;
};
Q.name = function(o, n) {
  n = n.toLowerCase();
  for (var k in o) if (k.toLowerCase() === n) return k;
  return null;
};
Q.plain = function(v) {
  if (v === undefined || v === null) return null;
  var t = typeof v;
  if (t === 'string' || t === 'number' || t === 'boolean') return v;
  throw new Error('not a plain value');
};
Q.invoke = function(o, n, flags, args) {
  var k = Q.name(o, n);
  if (k === null) throw new Error('unknown name');
  if (flags & 4) { o[k] = args[0]; return null; }
  var v = o[k];
  if (typeof v === 'function' && (flags & 1)) return Q.plain(v.apply(o, args));
  return Q.plain(v);
};
Q.markup = function(n) {
  if (n.nodeType === 10) return new XMLSerializer().serializeToString(n);
  if (n.nodeType === 8) return '<!--' + n.data + '-->';
  if (n.nodeType === 1) return n.outerHTML;
  return null;
};
Q.rootMarkup = function(root, breaks) {
  // The parser puts the white space after </body> and </html> into the body: the line ends
  // written after the root come back as line breaks at the body's end. They are written after
  // the root again, not inside the body, or the page would grow by them at every save.
  var s = root.outerHTML, body = document.body;
  if (!body || body.parentNode !== root) return s;
  var end = s.length - ('</' + root.localName + '>').length;
  for (var m = root.lastChild; m && m !== body; m = m.previousSibling) {
    var holder = document.createElement('div');  // detached: no edit is seen
    holder.appendChild(m.cloneNode(true));
    end -= holder.innerHTML.length;
  }
  var close = '</' + body.localName + '>';
  end -= close.length;
  if (end < 0 || s.substr(end, close.length) !== close) return s;
  var cut = end;
  while (breaks > 0 && s.charAt(cut - 1) === '\n') { --cut; --breaks; }
  return s.slice(0, cut) + s.slice(end);
};
// Every top-level node followed by CR LF, the lines of a page file.
Q.serialize = function() {
  var root = document.documentElement, after = 0, parts = [];
  for (var n = root ? root.nextSibling : null; n; n = n.nextSibling)
    if (Q.markup(n) !== null) ++after;
  for (var n = document.firstChild; n; n = n.nextSibling) {
    var text = n === root ? Q.rootMarkup(root, after + 1) : Q.markup(n);
    if (text !== null) parts.push(text + '\r\n');
  }
  return parts.join('');
};
return Q;
})())JS";

const char kEditWatch[] = R"JS((function(){
var m = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers[HANDLER];
if (!m) return;
var pending = false;
function display() {
  if (pending) return;
  pending = true;
  setTimeout(function() { pending = false; m.postMessage('display'); }, 0);
}
new MutationObserver(function() { m.postMessage('changed'); display(); })
  .observe(document, {subtree: true, childList: true, attributes: true, characterData: true});
document.addEventListener('input', function() { m.postMessage('changed'); }, true);
document.addEventListener('selectionchange', display, true);
})();)JS";

const char kSelectionWatch[] = R"JS((function(){
var m = window.webkit && window.webkit.messageHandlers && window.webkit.messageHandlers[HANDLER];
if (!m) return;
var pending = false;
document.addEventListener('selectionchange', function() {
  if (pending) return;
  pending = true;
  setTimeout(function() { pending = false; m.postMessage('selection'); }, 0);
}, true);
})();)JS";

std::string WithHandler(const char* script, const std::string& handler)
{
    std::string s = script;
    s.replace(s.find("HANDLER"), 7, json::Quote(handler));
    return s;
}

}  // namespace

std::string WrapDomScript(const std::string& body)
{
    std::string s;
    s.reserve(sizeof kLibrary + body.size() + 200);
    s += "(function(){try{var Q=";
    s += kLibrary;
    s += ";var R=(";
    s += body;
    s +=
        ");return JSON.stringify({v:R===undefined?null:R});}catch(e){return JSON.stringify({e:String(e&&e.message||e)});}})()";
    return s;
}

com::HRESULT RunDomScript(DocumentEngine& engine, const std::string& body, json::Value* value)
{
    std::string text;
    if (!engine.RunScript(WrapDomScript(body), text))
        return com::E_FAIL;
    auto parsed = json::Parse(text);
    if (!parsed || !parsed->AsObject())
        return com::E_FAIL;
    if (parsed->Find("e"))
        return com::DISP_E_EXCEPTION;
    const json::Value* v = parsed->Find("v");
    if (!v)
        return com::E_FAIL;
    if (value)
        *value = *v;
    return com::S_OK;
}

std::string FindInPageExpression(const std::string& text, bool matchCase, bool wholeWord, bool backwards)
{
    auto b = [](bool v) { return v ? "true" : "false"; };
    return std::string("window.find(") + json::Quote(text) + "," + b(matchCase) + "," + b(backwards) + ",true," +
           b(wholeWord) + ",false,false)";
}

std::string EditWatchScript(const std::string& handler) { return WithHandler(kEditWatch, handler); }

std::string SelectionWatchScript(const std::string& handler) { return WithHandler(kSelectionWatch, handler); }

}  // namespace ql::web
