"""Reads the messages a test server received with Python's own e-mail parser and prints, as
JSON, what the mail tests check: envelope, raw form (line ends, line lengths), headers, the
decoded subject and text, and each attachment's name and digest."""

import email
import email.policy
import glob
import hashlib
import json
import os
import sys


def read(path):
    raw = open(path, "rb").read()
    envelope = json.load(open(path[:-4] + ".json"))
    lines = raw.split(b"\r\n")
    msg = email.message_from_bytes(raw, policy=email.policy.default)
    result = {
        "mail_from": envelope["mail_from"],
        "rcpt_tos": envelope["rcpt_tos"],
        "crlf_only": b"\n" not in raw.replace(b"\r\n", b"") and b"\r" not in raw.replace(b"\r\n", b""),
        "longest_line": max(len(line) for line in lines),
        "header_names": [name for name, _ in msg.items()],
        "to": [str(a) for a in msg.get_all("to", [])],
        "to_addresses": [a.addr_spec for h in msg.get_all("to", []) for a in h.addresses],
        "subject": str(msg.get("subject", "")),
        "message_id": str(msg.get("message-id", "")),
        "date": str(msg.get("date", "")),
        "defects": [type(d).__name__ for part in msg.walk() for d in part.defects],
        "attachments": [],
    }
    body = msg.get_body(preferencelist=("plain",))
    result["text"] = body.get_content() if body is not None else None
    for part in msg.iter_attachments():
        data = part.get_payload(decode=True) or b""
        result["attachments"].append({
            "filename": part.get_filename(),
            "size": len(data),
            "sha256": hashlib.sha256(data).hexdigest(),
        })
    return result


def main():
    spool = sys.argv[1]
    messages = [read(p) for p in sorted(glob.glob(os.path.join(spool, "*.eml")))]
    events_path = os.path.join(spool, "events.log")
    events = open(events_path).read().split("\n")[:-1] if os.path.exists(events_path) else []
    json.dump({"messages": messages, "events": events}, sys.stdout)


if __name__ == "__main__":
    main()
