#!/usr/bin/python3
"""A server that answers every request the same wrong way, for the tests of bad servers.

Usage: /usr/bin/python3 fakedav.py MODE PORT
  xml     a 207 Multi-Status whose body is not XML
  status  500 to everything
  silent  accepts the connection and never answers
"""
import http.server
import socket
import sys
import time

mode, port = sys.argv[1], int(sys.argv[2])

if mode == 'silent':
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(('127.0.0.1', port))
    listener.listen(8)
    print('ready', flush=True)
    held = []
    while True:
        connection, _ = listener.accept()
        held.append(connection)
        time.sleep(0.1)


class Handler(http.server.BaseHTTPRequestHandler):
    def answer(self):
        length = int(self.headers.get('Content-Length') or 0)
        if length:
            self.rfile.read(length)
        if mode == 'xml':
            body = b'<?xml version="1.0"?><d:multistatus xmlns:d="DAV:"><d:response><d:href>'
            self.send_response(207)
        else:
            body = b'errore interno'
            self.send_response(500)
        self.send_header('Content-Type', 'application/xml')
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    do_PROPFIND = do_REPORT = do_GET = do_PUT = do_DELETE = do_MKCOL = answer

    def do_MKCALENDAR(self):
        self.answer()

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(('127.0.0.1', port), Handler)
print('ready', flush=True)
server.serve_forever()
