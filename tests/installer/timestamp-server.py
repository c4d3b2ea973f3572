#!/usr/bin/env python3
"""An RFC 3161 timestamp server on 127.0.0.1 for tests, answering with `openssl ts -reply` and
the authority that test-certificate.sh made in DIR. Prints its port, then serves until killed.
  timestamp-server.py DIR"""
import http.server
import os
import subprocess
import sys
import tempfile

directory = sys.argv[1]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        with tempfile.NamedTemporaryFile(dir=directory) as file:
            file.write(query)
            file.flush()
            reply = subprocess.run(
                ["openssl", "ts", "-reply", "-config", os.path.join(directory, "ts.cnf"), "-queryfile", file.name,
                 "-inkey", os.path.join(directory, "tsa.key"), "-signer", os.path.join(directory, "tsa.pem")],
                capture_output=True).stdout
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
print(server.server_port, flush=True)
server.serve_forever()
