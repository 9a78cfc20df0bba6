#!/usr/bin/env python3
"""A local SMTP catcher for the demo and the browser tests: takes every message and writes it,
as received, to DIR/<time>-<n>.eml. Usage: mail_catcher.py DIR [PORT] [HOST]"""
import os
import socketserver
import sys
import time

counter = iter(range(1, 1 << 30))


class Session(socketserver.StreamRequestHandler):
    def reply(self, line):
        self.wfile.write((line + "\r\n").encode())

    def handle(self):
        self.reply("220 jaunter mail catcher")
        sender, recipients = "", []
        while True:
            line = self.rfile.readline()
            if not line:
                return
            command = line.decode("latin-1").strip()
            verb = command[:4].upper()
            if verb in ("HELO", "EHLO"):
                self.reply("250 catcher")
            elif verb == "MAIL":
                sender, recipients = command[10:].strip(), []
                self.reply("250 OK")
            elif verb == "RCPT":
                recipients.append(command[8:].strip())
                self.reply("250 OK")
            elif verb == "DATA":
                self.reply("354 end with a dot")
                lines = []
                while True:
                    part = self.rfile.readline()
                    if not part or part in (b".\r\n", b".\n"):
                        break
                    lines.append(part[1:] if part.startswith(b"..") else part)
                name = "%s-%04d.eml" % (time.strftime("%Y%m%d-%H%M%S"), next(counter))
                with open(os.path.join(self.server.folder, name), "wb") as out:
                    out.write(("X-Envelope-From: %s\r\nX-Envelope-To: %s\r\n"
                               % (sender, ", ".join(recipients))).encode())
                    out.writelines(lines)
                self.reply("250 stored")
            elif verb == "QUIT":
                self.reply("221 bye")
                return
            else:
                self.reply("250 OK")


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def main():
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 2525
    host = sys.argv[3] if len(sys.argv) > 3 else "127.0.0.1"
    os.makedirs(folder, exist_ok=True)
    try:
        server = Server((host, port), Session)
    except OSError as error:
        sys.exit("mail catcher: port %d is taken (%s)" % (port, error.strerror))
    server.folder = folder
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
