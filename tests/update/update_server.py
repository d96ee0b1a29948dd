#!/usr/bin/env python3
"""A misbehaving update server for the tests of the update check.

    update_server.py --key KEY.pem [--timeout SECONDS] -- COMMAND...

Runs COMMAND while the server answers on 127.0.0.1 (base URL in VOLDIX_TEST_SERVER, a
port where nothing listens in VOLDIX_TEST_CLOSED_PORT), then stops it; the server also
ends after --timeout. The first path segment of a request is the scenario, key=value
pairs joined by ",": key, v (version), unit, size, path and name (hex) of the record;
list=ok|404|endless|silent|empty|comments|slow-headers and
dl=ok|404|cut|big|tampered|trickle|slow-headers|loop|hop|to-http say how list and
download are answered: "cut" closes after half the announced body, "big" announces
300 MiB, "tampered" changes a byte of the signed body, "trickle" sends a byte every
0.2 s, "slow-headers" sends the headers a byte every 2 s, "endless" streams list lines
without a length, "silent" never answers, "empty" and "comments" send a list without a
record; "loop" redirects to itself, "hop" redirects once to the download, "to-http"
redirects to the download on the plain HTTP server.
sig=ok|none|moved says whether the record carries the download's signature (made with
KEY.pem), none, or one made for the next version.
The same content is served over HTTPS (TLS 1.2) on localhost: with a certificate of a
test CA (VOLDIX_TEST_HTTPS), one for another name (VOLDIX_TEST_HTTPS_NAME), an expired
one (VOLDIX_TEST_HTTPS_EXPIRED) and one of a CA nobody trusts
(VOLDIX_TEST_HTTPS_UNTRUSTED); the test CA's certificate (DER, hex) is in VOLDIX_TEST_CA.
"""
import binascii
import http.server
import os
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import sign_update  # noqa: E402

DOWNLOAD_BODY = (b"VOLDIX\r\n\x1a\x00" + bytes(range(256))) * 8
STOP = threading.Event()
KEY = None
HTTP_PORT = 0


def scenario_of(segment):
    values = {"key": "voldix", "v": "1.0.0.22", "unit": "1", "size": "350", "path": "files/",
              "name": binascii.hexlify(b"update.zip").decode(), "list": "ok", "dl": "ok",
              "sig": "ok"}
    for pair in segment.split(","):
        if "=" in pair:
            key, value = pair.split("=", 1)
            values[key] = value
    return values


def update_list(values):
    version = values["v"].replace(".", ";")
    name = binascii.unhexlify(values["name"]) if values["name"] != "none" else b""
    signature = b""
    numbers = [sign_update.atoi(number) for number in values["v"].split(".")]
    if values["sig"] == "moved":
        numbers[3] += 1
    if values["sig"] != "none" and not sign_update.name_fault(name.decode("latin-1")):
        signature = sign_update.signature(KEY, values["key"], numbers, name.decode(),
                                          DOWNLOAD_BODY).encode()
    return (b"# Voldix test list\n"
            b"other;9;9;9;9;2007.1.1;1;1;files/;other.zip;\n"
            + ("%s;%s;2007.3.15;%s;%s;%s;" % (values["key"], version, values["unit"],
                                               values["size"], values["path"])).encode()
            + name + b";" + signature + b";\r\n")


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def send_body(self, body, length=None):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)

    def trickle(self, data, pause):
        """Sends data a byte at a time, pause seconds apart, until it ends or the server stops."""
        try:
            for byte in data:
                if STOP.wait(pause):
                    break
                self.wfile.write(bytes([byte]))
                self.wfile.flush()
        except OSError:
            pass

    def do_GET(self):
        parts = self.path.split("/", 2)
        values = scenario_of(parts[1] if len(parts) > 1 else "")
        rest = parts[2] if len(parts) > 2 else ""
        mode = values["list"] if rest == "Updates/_updates.txt" else values["dl"]
        if mode == "silent":
            STOP.wait(120)
        elif mode == "slow-headers":
            self.trickle(b"HTTP/1.1 200 OK\r\nContent-Length: 10\r\nX-Slow: " + b"x" * 200, 2)
        elif mode in ("loop", "hop", "to-http"):
            target = self.path.replace("dl=" + mode, "dl=ok")
            self.send_response(302)
            self.send_header("Location", {"loop": self.path, "hop": target, "to-http":
                                          "http://127.0.0.1:%d%s" % (HTTP_PORT, target)}[mode])
            self.send_header("Content-Length", "0")
            self.end_headers()
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
        elif mode == "tampered":
            self.send_body(DOWNLOAD_BODY[:-1] + b"!")
        elif mode == "trickle":
            self.send_response(200)
            self.send_header("Content-Length", str(len(DOWNLOAD_BODY)))
            self.end_headers()
            self.trickle(DOWNLOAD_BODY, 0.2)
        else:
            self.send_body(DOWNLOAD_BODY)


def closed_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def openssl(*args):
    subprocess.run(["openssl"] + list(args), check=True, capture_output=True)


def make_certificates(folder):
    """A test CA, another CA, and certificates for localhost (valid, expired, from the
    other CA) and for another name; the test CA's certificate as DER."""
    def path(name):
        return os.path.join(folder, name)
    for ca in ("ca", "other"):
        openssl("req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                "-nodes", "-keyout", path(ca + ".key"), "-out", path(ca + ".pem"), "-days", "30",
                "-subj", "/CN=Voldix Test CA " + ca)
    for name, host, ca, days in (("ok", "localhost", "ca", "30"),
                                 ("name", "voldix.invalid", "ca", "30"),
                                 ("expired", "localhost", "ca", "-1"),
                                 ("untrusted", "localhost", "other", "30")):
        with open(path(name + ".ext"), "w") as ext:
            ext.write("subjectAltName=DNS:%s\n" % host)
        openssl("req", "-new", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                "-nodes", "-keyout", path(name + ".key"), "-out", path(name + ".csr"),
                "-subj", "/CN=" + host)
        openssl("x509", "-req", "-in", path(name + ".csr"), "-CA", path(ca + ".pem"), "-CAkey",
                path(ca + ".key"), "-set_serial", str(int(time.time() * 1000)), "-days", days,
                "-extfile", path(name + ".ext"), "-out", path(name + ".crt"))
        # The server sends its certificate with the CA's, as servers do.
        with open(path(name + ".pem"), "w") as chain:
            for part in (name + ".crt", ca + ".pem"):
                with open(path(part)) as certificate:
                    chain.write(certificate.read())
    openssl("x509", "-in", path("ca.pem"), "-outform", "DER", "-out", path("ca.der"))
    with open(path("ca.der"), "rb") as der:
        return der.read()


def start(server):
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    global KEY, HTTP_PORT
    args = sys.argv[1:]
    timeout = 540
    while args[:1] in (["--timeout"], ["--key"]):
        if args[0] == "--key":
            KEY = args[1]
        else:
            timeout = float(args[1])
        args = args[2:]
    if args[:1] == ["--"]:
        args = args[1:]
    if not args or not KEY:
        sys.exit(__doc__)
    servers = [start(http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler))]
    HTTP_PORT = servers[0].server_port
    env = dict(os.environ, VOLDIX_TEST_SERVER="http://127.0.0.1:%d/" % servers[0].server_port,
               VOLDIX_TEST_CLOSED_PORT=str(closed_port()), http_proxy="", HTTP_PROXY="",
               https_proxy="", HTTPS_PROXY="")
    with tempfile.TemporaryDirectory() as folder:
        env["VOLDIX_TEST_CA"] = make_certificates(folder).hex()
        for name, variable in (("ok", ""), ("name", "_NAME"), ("expired", "_EXPIRED"),
                               ("untrusted", "_UNTRUSTED")):
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.maximum_version = ssl.TLSVersion.TLSv1_2
            context.load_cert_chain(os.path.join(folder, name + ".pem"),
                                    os.path.join(folder, name + ".key"))
            server = http.server.ThreadingHTTPServer(("localhost", 0), Handler)
            server.socket = context.wrap_socket(server.socket, server_side=True)
            servers.append(start(server))
            env["VOLDIX_TEST_HTTPS" + variable] = "https://localhost:%d/" % server.server_port
        try:
            status = subprocess.run(args, env=env, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            print("update_server.py: %s did not end within %g s" % (args[0], timeout))
            status = 1
        finally:
            STOP.set()
            for server in servers:
                server.shutdown()
                server.server_close()
    sys.exit(status)


if __name__ == "__main__":
    main()
