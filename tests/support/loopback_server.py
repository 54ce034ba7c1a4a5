#!/usr/bin/python3
"""Loopback HTTP server for the tests: the statistics collection endpoint, the upgrade API and package
downloads, on 127.0.0.1.

Every POST to "/collection" is decoded with the collector key (Base64, then Blowfish-ECB, zero padding
stripped) and the decoded JSON event is recorded. Every request is recorded too (method, path, headers,
body). Every POST to "/api/upgrade" is a form whose "data" field is URL-escaped Base64 of the request
enciphered under the upgrade key; it is deciphered and recorded as well. How the server answers is set per path through the control interface:

  GET  /_control/ping                 "ok <pid>"
  POST /_control/responses?path=P     JSON list of answers for path P (or "*" for every path); each
                                      request takes the first one, the last one stays:
                                      {"status": 200, "delay_ms": 0, "body": "", "cut": null,
                                       "headers": {"Name": "value"}}
                                      "cut": n announces the whole body but sends only n bytes, then
                                      closes the connection; with "reset": true it is reset instead
                                      of closed cleanly. "trickle_ms": n sends the body one byte
                                      every n ms (a server that never quite stops answering);
                                      "delay_ms" longer than the client waits is a silent one.
                                      "offer": a JSON value, or "offer_text":
                                      a text, is sent enciphered under the upgrade key and Base64-
                                      encoded, as the upgrade API answers (instead of "body").
  POST /_control/file?path=P          the request body is served as the answer to GET P
  GET  /_control/events               JSON list of {"ok", "event", "plain", "error"} in arrival order
  GET  /_control/upgrade_requests     JSON list of {"ok", "form", "plain", "request", "error"}
  GET  /_control/requests             JSON list of {"method", "path", "query", "headers", "body_b64"}
  POST /_control/clear                forgets events, requests, answers and files
  POST /_control/shutdown             ends the server

Run it in the foreground (serve), or as a ctest fixture: "start" launches it detached and waits until it
answers; "stop" ends it. It ends by itself after --idle-timeout seconds without a request.
"""

import argparse
import base64
import binascii
import json
import os
import signal
import socket
import struct
import subprocess
import sys
import threading
import time
import urllib.parse
import urllib.request
import warnings
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

with warnings.catch_warnings():
    warnings.simplefilter("ignore")
    from cryptography.hazmat.primitives.ciphers import Cipher, modes
    try:
        from cryptography.hazmat.decrepit.ciphers.algorithms import Blowfish
    except ImportError:
        from cryptography.hazmat.primitives.ciphers.algorithms import Blowfish

COLLECTOR_KEY = b"Qm7Tz2Lp9Xc4Vb8Nw1Rk6Hd3Js5Fg0Ya"
UPGRADE_KEY = b"4f0a7c3e-91d2-4b6a-8e57-a2c93d1f6b08"
DEFAULT_PORT = 18931


def blowfish_ecb_decrypt(key, data):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        decryptor = Cipher(Blowfish(key), modes.ECB()).decryptor()
    return decryptor.update(data) + decryptor.finalize()


def blowfish_ecb_encrypt(key, data):
    data += b"\0" * (-len(data) % 8)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        encryptor = Cipher(Blowfish(key), modes.ECB()).encryptor()
    return encryptor.update(data) + encryptor.finalize()


def encode_upgrade_answer(answer):
    """The body of an upgrade answer: the offer's compact JSON (or the given text) enciphered and encoded."""
    if "offer_text" in answer:
        plain = answer["offer_text"].encode("utf-8")
    else:
        plain = json.dumps(answer["offer"], separators=(",", ":")).encode("utf-8")
    return base64.b64encode(blowfish_ecb_encrypt(UPGRADE_KEY, plain))


def decode_upgrade_body(body):
    """Returns the record of one upgrade request: the deciphered request when it decodes, the reason when not."""
    record = {"ok": False, "form": None, "plain": None, "request": None, "error": None}
    try:
        record["form"] = body.decode("ascii")
        name, sep, escaped = record["form"].partition("=")
        if name != "data" or not sep or "&" in escaped:
            raise ValueError("body is not one form field data=...")
        cipher = base64.b64decode(urllib.parse.unquote(escaped), validate=True)
        if len(cipher) % 8 != 0:
            raise ValueError("cipher text is not a multiple of 8 bytes")
        plain = blowfish_ecb_decrypt(UPGRADE_KEY, cipher).rstrip(b"\0")
        record["plain"] = plain.decode("utf-8")
        record["request"] = json.loads(record["plain"])
        record["ok"] = True
    except (ValueError, binascii.Error, UnicodeDecodeError) as e:
        record["error"] = str(e)
    return record


def decode_collection_body(body):
    """Returns the record of one collection POST: the event when it decodes, the reason when not."""
    record = {"ok": False, "event": None, "plain": None, "error": None}
    try:
        outer = json.loads(body.decode("utf-8"))
        if not isinstance(outer, dict) or sorted(outer.keys()) != ["data", "enc"] or outer["enc"] != "1":
            raise ValueError("body is not {\"data\":...,\"enc\":\"1\"}")
        cipher = base64.b64decode(outer["data"], validate=True)
        if len(cipher) % 8 != 0:
            raise ValueError("cipher text is not a multiple of 8 bytes")
        plain = blowfish_ecb_decrypt(COLLECTOR_KEY, cipher).rstrip(b"\0")
        record["plain"] = plain.decode("utf-8")
        record["event"] = json.loads(record["plain"])
        record["ok"] = True
    except (ValueError, binascii.Error, UnicodeDecodeError) as e:
        record["error"] = str(e)
    return record


class State:
    def __init__(self):
        self.lock = threading.Lock()
        self.last_activity = time.monotonic()
        self.reset()

    def reset(self):
        self.events = []
        self.upgrade_requests = []
        self.requests = []
        self.responses = {}
        self.files = {}

    def next_response(self, path):
        with self.lock:
            queue = self.responses.get(path) or self.responses.get("*")
            if not queue:
                return None
            return queue.pop(0) if len(queue) > 1 else queue[0]


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "LoopbackServer"
    sys_version = ""

    def log_message(self, format, *args):
        if self.server.verbose:
            sys.stderr.write("%s - %s\n" % (self.address_string(), format % args))

    def do_GET(self):
        self.handle_any("GET")

    def do_POST(self):
        self.handle_any("POST")

    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def send_plain(self, status, body, content_type="application/octet-stream", headers=None, cut=None,
                   reset=False, trickle_ms=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        if cut is not None:
            self.send_header("Connection", "close")
        self.end_headers()
        if trickle_ms:
            self.close_connection = True
            for i in range(len(body)):
                self.wfile.write(body[i:i + 1])
                self.wfile.flush()
                time.sleep(trickle_ms / 1000.0)
            return
        if cut is None:
            self.wfile.write(body)
            return
        self.wfile.write(body[:cut])
        self.wfile.flush()
        self.close_connection = True
        if reset:
            # The client first takes in what was sent (a reset discards unread data); then a zero
            # linger time makes the close send a reset rather than an orderly end.
            time.sleep(0.3)
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
            return
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    def handle_any(self, method):
        state = self.server.state
        state.last_activity = time.monotonic()
        url = urllib.parse.urlsplit(self.path)
        body = self.read_body()
        if url.path.startswith("/_control/"):
            self.handle_control(url, body)
            return

        with state.lock:
            state.requests.append({
                "method": method,
                "path": url.path,
                "query": url.query,
                "headers": [[k, v] for k, v in self.headers.items()],
                "body_b64": base64.b64encode(body).decode("ascii"),
            })
            if method == "POST" and url.path == "/collection":
                state.events.append(decode_collection_body(body))
            if method == "POST" and url.path == "/api/upgrade":
                state.upgrade_requests.append(decode_upgrade_body(body))
            served = state.files.get(url.path) if method == "GET" else None

        answer = state.next_response(url.path) or {}
        delay_ms = answer.get("delay_ms", 0)
        if delay_ms:
            time.sleep(delay_ms / 1000.0)
        offered = "offer" in answer or "offer_text" in answer
        status = answer.get("status", 200 if served is not None or offered or url.path == "/collection" else 404)
        payload = answer.get("body")
        if offered:
            payload = encode_upgrade_answer(answer)
        if payload is None:
            payload = served if served is not None else b""
        elif isinstance(payload, str):
            payload = payload.encode("utf-8")
        try:
            self.send_plain(status, payload, headers=answer.get("headers"), cut=answer.get("cut"),
                            reset=bool(answer.get("reset")), trickle_ms=answer.get("trickle_ms"))
        except (BrokenPipeError, ConnectionResetError, ConnectionAbortedError):
            self.close_connection = True

    def handle_control(self, url, body):
        state = self.server.state
        query = urllib.parse.parse_qs(url.query)
        command = url.path[len("/_control/"):]
        try:
            if command == "ping":
                self.send_plain(200, ("ok %d" % os.getpid()).encode("ascii"), "text/plain")
            elif command == "responses":
                answers = json.loads(body.decode("utf-8"))
                if isinstance(answers, dict):
                    answers = [answers]
                with state.lock:
                    state.responses[query.get("path", ["*"])[0]] = list(answers)
                self.send_plain(200, b"ok", "text/plain")
            elif command == "file":
                with state.lock:
                    state.files[query["path"][0]] = body
                self.send_plain(200, b"ok", "text/plain")
            elif command in ("events", "requests", "upgrade_requests"):
                with state.lock:
                    text = json.dumps(getattr(state, command), ensure_ascii=False)
                self.send_plain(200, text.encode("utf-8"), "application/json")
            elif command == "clear":
                with state.lock:
                    state.reset()
                self.send_plain(200, b"ok", "text/plain")
            elif command == "shutdown":
                self.send_plain(200, b"ok", "text/plain")
                threading.Thread(target=self.server.shutdown, daemon=True).start()
            else:
                self.send_plain(404, b"unknown control command", "text/plain")
        except (ValueError, KeyError) as e:
            self.send_plain(400, str(e).encode("utf-8"), "text/plain")


def serve(port, idle_timeout, verbose):
    server = ThreadingHTTPServer(("127.0.0.1", port), Handler)
    server.daemon_threads = True
    server.state = State()
    server.verbose = verbose

    def watchdog():
        # A safety net: a server that nobody talks to any more must not outlive its test run.
        while True:
            time.sleep(1)
            if time.monotonic() - server.state.last_activity > idle_timeout:
                server.shutdown()
                return

    threading.Thread(target=watchdog, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown, daemon=True).start())
    try:
        server.serve_forever(poll_interval=0.2)
    finally:
        server.server_close()


def control(port, command, timeout=2):
    url = "http://127.0.0.1:%d/_control/%s" % (port, command)
    data = b"" if command != "ping" else None
    with urllib.request.urlopen(urllib.request.Request(url, data=data), timeout=timeout) as reply:
        return reply.read()


def answers(port, pid):
    # The pid tells our server from another one that may hold the port (other build trees on the
    # same machine run their own).
    try:
        return control(port, "ping", timeout=1) == ("ok %d" % pid).encode("ascii")
    except OSError:
        return False


def start(port, state_dir, idle_timeout):
    os.makedirs(state_dir, exist_ok=True)
    stop(port, state_dir)  # a server left over from an interrupted run of this build
    log = open(os.path.join(state_dir, "server.log"), "ab")
    # Detached, with no inherited output: a test runner reading this script's output must not wait
    # for the server.
    process = subprocess.Popen(
        [sys.executable, os.path.abspath(__file__), "serve", "--port", str(port), "--idle-timeout", str(idle_timeout)],
        stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True, close_fds=True)
    with open(os.path.join(state_dir, "server.pid"), "w") as f:
        f.write(str(process.pid))
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:
        if process.poll() is not None:
            print("loopback server exited at start (code %s; is port %d taken?); see %s"
                  % (process.returncode, port, log.name))
            return 1
        if answers(port, process.pid):
            print("loopback server %d listening on 127.0.0.1:%d" % (process.pid, port))
            return 0
        time.sleep(0.1)
    process.kill()
    print("loopback server did not answer on port %d" % port)
    return 1


def stop(port, state_dir):
    """Ends the server that this state folder started, and only that one."""
    pid_path = os.path.join(state_dir, "server.pid")
    if not os.path.exists(pid_path):
        return 0
    with open(pid_path) as f:
        pid = int(f.read().strip() or 0) or None
    os.remove(pid_path)
    if pid is None or not process_alive(pid) or not is_loopback_server(pid):
        return 0
    os.kill(pid, signal.SIGTERM)
    deadline = time.monotonic() + 5
    while time.monotonic() < deadline and process_alive(pid):
        time.sleep(0.1)
    if process_alive(pid):
        os.kill(pid, signal.SIGKILL)
    return 0


def process_alive(pid):
    try:
        # Reaps it when it is our own child; otherwise only probes it.
        os.waitpid(pid, os.WNOHANG)
    except ChildProcessError:
        pass
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().split(")")[-1].split()[0] != "Z"
    except OSError:
        return False


def is_loopback_server(pid):
    # A stale pid file must not lead to killing whatever process took the number since.
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return os.path.basename(__file__).encode() in f.read()
    except OSError:
        return False


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["serve", "start", "stop"])
    parser.add_argument("--port", type=int, default=DEFAULT_PORT)
    parser.add_argument("--state-dir", default=os.path.join(os.getcwd(), "loopback_server"))
    parser.add_argument("--idle-timeout", type=float, default=900)
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    if args.command == "serve":
        serve(args.port, args.idle_timeout, args.verbose)
        return 0
    if args.command == "start":
        return start(args.port, args.state_dir, args.idle_timeout)
    return stop(args.port, args.state_dir)


if __name__ == "__main__":
    sys.exit(main())
