#!/usr/bin/env python3
"""A misbehaving update server for the tests of the update check.

    update_server.py [--timeout SECONDS] -- COMMAND...

Runs COMMAND while the server answers on 127.0.0.1 (base URL in VOLDIX_TEST_SERVER, a
port where nothing listens in VOLDIX_TEST_CLOSED_PORT), then stops it; the server also
ends after --timeout. The first path segment of a request is the scenario, key=value
pairs joined by ",": key, v (version), unit, size, path and name (hex) of the record;
list=ok|404|endless|silent|empty|comments and dl=ok|404|cut|big say how list and download
are answered: "cut" closes after half the announced body, "big" announces 300 MiB,
"endless" streams list lines without a length, "silent" never answers, "empty" and
"comments" send a list without a record.
"""
import binascii
import http.server
import os
import socket
import subprocess
import sys
import threading

DOWNLOAD_BODY = (b"VOLDIX\r\n\x1a\x00" + bytes(range(256))) * 8
STOP = threading.Event()


def scenario_of(segment):
    values = {"key": "voldix", "v": "1.0.0.22", "unit": "1", "size": "350", "path": "files/",
              "name": binascii.hexlify(b"update.zip").decode(), "list": "ok", "dl": "ok"}
    for pair in segment.split(","):
        if "=" in pair:
            key, value = pair.split("=", 1)
            values[key] = value
    return values


def update_list(values):
    version = values["v"].replace(".", ";")
    name = binascii.unhexlify(values["name"]) if values["name"] != "none" else b""
    return (b"# Voldix test list\n"
            b"other;9;9;9;9;2007.1.1;1;1;files/;other.zip;\n"
            + ("%s;%s;2007.3.15;%s;%s;%s;" % (values["key"], version, values["unit"],
                                               values["size"], values["path"])).encode()
            + name + b";\r\n")


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def send_body(self, body, length=None):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        parts = self.path.split("/", 2)
        values = scenario_of(parts[1] if len(parts) > 1 else "")
        rest = parts[2] if len(parts) > 2 else ""
        mode = values["list"] if rest == "Updates/_updates.txt" else values["dl"]
        if mode == "silent":
            STOP.wait(120)
        elif mode == "404":
            self.send_error(404)
        elif rest == "Updates/_updates.txt" and mode == "endless":
            self.send_response(200)
            self.end_headers()
            line = b"# filler line of an endless update list\n" * 100
            try:
                for _ in range(64 * 1024 * 1024 // len(line)):
                    if STOP.is_set():
                        break
                    self.wfile.write(line)
            except OSError:
                pass
        elif rest == "Updates/_updates.txt" and mode in ("empty", "comments"):
            self.send_body(b"" if mode == "empty" else b"# Voldix test list\n# no record\n")
        elif rest == "Updates/_updates.txt":
            self.send_body(update_list(values))
        elif mode == "cut":
            self.send_body(DOWNLOAD_BODY[: len(DOWNLOAD_BODY) // 2], len(DOWNLOAD_BODY))
        elif mode == "big":
            self.send_body(DOWNLOAD_BODY, 300 * 1024 * 1024)
        else:
            self.send_body(DOWNLOAD_BODY)


def closed_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def main():
    args = sys.argv[1:]
    timeout = 540
    if args[:1] == ["--timeout"]:
        timeout = float(args[1])
        args = args[2:]
    if args[:1] == ["--"]:
        args = args[1:]
    if not args:
        sys.exit(__doc__)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    env = dict(os.environ, VOLDIX_TEST_SERVER="http://127.0.0.1:%d/" % server.server_port,
               VOLDIX_TEST_CLOSED_PORT=str(closed_port()), http_proxy="", HTTP_PROXY="")
    try:
        status = subprocess.run(args, env=env, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        print("update_server.py: %s did not end within %g s" % (args[0], timeout))
        status = 1
    finally:
        STOP.set()
        server.shutdown()
        server.server_close()
    sys.exit(status)


if __name__ == "__main__":
    main()
