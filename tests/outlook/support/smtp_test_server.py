#!/usr/bin/python3
"""An SMTP server for the mail tests, on a free loopback port.

Prints its port on the first line of stdout, then serves until SIGTERM. Every accepted message
is written to the folder as NNN.eml (the bytes received) and NNN.envelope ("from <addr>", then
"to <addr>" lines); the envelope is written last, so its presence means the message is complete.
A recipient containing "refuse" is refused at RCPT; a message to a recipient containing
"bounce" is refused at DATA.
"""
import argparse
import asyncio
import os
import signal
import ssl

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Handler:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if "refuse" in address:
            return "550 5.1.1 <%s>: Recipient address rejected: User unknown" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if any("bounce" in rcpt for rcpt in envelope.rcpt_tos):
            return "554 5.7.1 Message refused by policy"
        self.count += 1
        base = os.path.join(self.folder, "%03d" % self.count)
        with open(base + ".eml", "wb") as eml:
            eml.write(envelope.original_content)
        lines = ["from " + envelope.mail_from] + ["to " + r for r in envelope.rcpt_tos]
        with open(base + ".tmp", "w", encoding="utf-8") as env:
            env.write("\n".join(lines) + "\n")
        os.rename(base + ".tmp", base + ".envelope")
        return "250 2.0.0 Ok: queued as %03d" % self.count


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--security", choices=["starttls", "tls", "none"], default="starttls")
    args = parser.parse_args()

    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(args.cert, args.key)
    user, password = args.user.encode(), args.password.encode()

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == user
              and auth_data.password == password)
        # Not "handled": the server itself then answers 535.
        return AuthResult(success=ok, handled=False)

    handler = Handler(args.folder)

    def factory():
        return SMTP(
            handler,
            hostname="brevanto-test-smtp",
            tls_context=context if args.security == "starttls" else None,
            require_starttls=args.security == "starttls",
            authenticator=authenticator,
            auth_required=True,
            auth_require_tls=args.security == "starttls",
        )

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(
        loop.create_server(factory, host="127.0.0.1", port=0,
                           ssl=context if args.security == "tls" else None))
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    print(server.sockets[0].getsockname()[1], flush=True)
    loop.run_forever()
    server.close()


if __name__ == "__main__":
    main()
