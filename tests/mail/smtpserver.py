"""A loopback SMTP server for the mail tests, on Debian's aiosmtpd.

Prints "PORT n" once it listens, then serves until its standard input closes. Every message
received is kept in the spool folder as NNN.eml (the bytes of DATA, dot-stuffing undone) with
NNN.json (envelope); events.log gets one line per STARTTLS and AUTH attempt.
"""

import argparse
import warnings
import asyncio
import json
import os
import socket
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult


warnings.filterwarnings("ignore")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Handler:
    def __init__(self, spool, reject, slow_data):
        self.spool = spool
        self.reject = set(reject)
        self.slow_data = slow_data
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.reject:
            return "550 5.1.1 destinatario sconosciuto"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.slow_data:
            log(self.spool, "DATA waiting")
            await asyncio.sleep(self.slow_data)
        self.count += 1
        base = os.path.join(self.spool, "%03d" % self.count)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".json", "w") as f:
            json.dump({"mail_from": envelope.mail_from, "rcpt_tos": envelope.rcpt_tos}, f)
        return "250 OK messaggio accettato"


def log(spool, line):
    with open(os.path.join(spool, "events.log"), "a") as f:
        f.write(line + "\n")


class TestSMTP(SMTP):
    drop_quit = False
    spool = None

    async def smtp_STARTTLS(self, arg):
        log(self.spool, "STARTTLS")
        return await super().smtp_STARTTLS(arg)

    async def smtp_QUIT(self, arg):
        if self.drop_quit:
            self.transport.close()
            return
        return await super().smtp_QUIT(arg)


class TestController(Controller):
    def __init__(self, handler, drop_quit, spool, **kwargs):
        self.drop_quit = drop_quit
        self.spool = spool
        super().__init__(handler, **kwargs)

    def factory(self):
        server = TestSMTP(self.handler, **self.SMTP_kwargs)
        server.drop_quit = self.drop_quit
        server.spool = self.spool
        return server

    def _trigger_server(self):
        # The readiness probe of the base class cannot speak TLS from the first byte with a
        # server context; a plain TCP connection is enough to know the server listens.
        with socket.create_connection((self.hostname, self.port), 1.0):
            pass


def silent(port, spool):
    """Accepts connections and never says a word."""
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(8)
    held = []

    def accept():
        while True:
            conn, _ = listener.accept()
            log(spool, "CONNECT")
            held.append(conn)

    threading.Thread(target=accept, daemon=True).start()
    return listener


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--mode", choices=["plain", "tls", "starttls", "silent"], default="plain")
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--auth", help="user:password")
    p.add_argument("--exclude", action="append", default=[], help="an AUTH mechanism not offered")
    p.add_argument("--reject", action="append", default=[])
    p.add_argument("--drop-quit", action="store_true")
    p.add_argument("--slow-data", type=float, default=0,
                   help="seconds to wait before accepting each message")
    p.add_argument("--old-tls", action="store_true", help="offer nothing newer than TLS 1.1")
    p.add_argument("--spool", required=True)
    a = p.parse_args()

    port = free_port()
    if a.mode == "silent":
        keep = silent(port, a.spool)
    else:
        context = None
        if a.mode in ("tls", "starttls"):
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(a.cert, a.key)
            if a.old_tls:
                context.set_ciphers("DEFAULT:@SECLEVEL=0")
                context.minimum_version = ssl.TLSVersion.TLSv1
                context.maximum_version = ssl.TLSVersion.TLSv1_1
        kwargs = dict(hostname="127.0.0.1", port=port, auth_require_tls=False,
                      auth_exclude_mechanism=a.exclude)
        if a.mode == "tls":
            kwargs["ssl_context"] = context
        elif a.mode == "starttls":
            kwargs["tls_context"] = context
            kwargs["require_starttls"] = True
        if a.auth:
            user, password = a.auth.split(":", 1)

            def authenticator(server, session, envelope, mechanism, data):
                ok = data.login.decode() == user and data.password.decode() == password
                log(a.spool, "AUTH %s %s" % (mechanism, "ok" if ok else "refused"))
                return AuthResult(success=ok, handled=False)

            kwargs["authenticator"] = authenticator
            kwargs["auth_required"] = True
        controller = TestController(Handler(a.spool, a.reject, a.slow_data), a.drop_quit, a.spool, **kwargs)
        controller.start()
    print("PORT %d" % port, flush=True)
    sys.stdin.read()


if __name__ == "__main__":
    main()
