"""tools/latency-proxy.py: delay per direction, the cut after N bytes, its own end, odd peers."""
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

PROXY = os.path.join(os.environ.get("TBX_SOURCE_DIR", "."), "tools", "latency-proxy.py")


class Target:
    """A server on loopback; handler(conn) runs per connection in a thread."""

    def __init__(self, handler):
        self.sock = socket.create_server(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]
        self.handler = handler
        self.results = []
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while True:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            threading.Thread(target=self.run, args=(conn,), daemon=True).start()

    def run(self, conn):
        with conn:
            try:
                self.results.append(self.handler(conn))
            except OSError as e:
                self.results.append(e)

    def close(self):
        self.sock.close()


def echo(conn):
    while True:
        data = conn.recv(65536)
        if not data:
            return "eof"
        conn.sendall(data)


def answer(conn):
    """Answers one byte with 100,000, as a server sends a large result."""
    conn.recv(1)
    conn.sendall(b"g" * 100000)
    return conn.recv(1)


def exchange(port, request=b""):
    """Connects, sends request and half-closes (when there is one); returns the bytes read and how it ended: "eof" or "reset"."""
    got = bytearray()
    try:
        sock = socket.create_connection(("127.0.0.1", port), timeout=10)
    except ConnectionResetError:
        # A proxy that resets at once may do so before connect() has returned.
        return b"", "reset"
    try:
        if request:
            try:
                sock.sendall(request)
                sock.shutdown(socket.SHUT_WR)
            except OSError:
                pass  # already ended by the other side: what was read tells how
        while True:
            data = sock.recv(65536)
            if not data:
                return bytes(got), "eof"
            got += data
    except ConnectionResetError:
        return bytes(got), "reset"
    finally:
        sock.close()


def start_proxy(port, *args):
    p = subprocess.Popen([sys.executable, PROXY, "--target", "127.0.0.1:%d" % port, "--max-seconds", "20"]
                         + list(args), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return p, int(p.stdout.readline())


class LatencyProxyTest(unittest.TestCase):
    def with_proxy(self, handler, *args):
        target = Target(handler)
        proxy, port = start_proxy(target.port, *args)
        self.addCleanup(target.close)
        self.addCleanup(lambda: (proxy.kill(), proxy.wait(), proxy.stdout.close(), proxy.stderr.close()))
        return target, proxy, port

    def connect(self, port):
        c = socket.create_connection(("127.0.0.1", port), timeout=10)
        self.addCleanup(c.close)
        return c

    def test_each_direction_is_delayed_by_a_queue_not_a_sleep_per_chunk(self):
        _, _, port = self.with_proxy(echo, "--delay-ms", "100")
        c = self.connect(port)
        start = time.monotonic()
        c.sendall(b"a")
        time.sleep(0.02)
        c.sendall(b"b")
        arrivals = []
        for expected in (b"a", b"b"):
            self.assertEqual(c.recv(1), expected)
            arrivals.append(time.monotonic())
        self.assertGreaterEqual(arrivals[0] - start, 0.2)
        # A proxy that sleeps per chunk would hold "b" back until "a" had gone: 100 ms later, not 20.
        self.assertLess(arrivals[1] - arrivals[0], 0.07)

    def test_cut_after_bytes(self):
        cases = [
            # scope, how, what each of two connections (one after the other) receives for its one byte
            # (both directions count: 1 + 10,000) and how it ends (None: either way, the race is the kernel's)
            ("connection", "reset", [(10000, "reset"), (10000, "reset")]),
            ("total", "close", [(10000, "eof"), (0, None)]),
        ]
        for scope, how, expected in cases:
            with self.subTest(scope=scope, how=how):
                _, proxy, port = self.with_proxy(answer, "--cut-after-bytes", "10001", "--cut-scope", scope,
                                                 "--cut-how", how)
                for n, end in expected:
                    got, ended = exchange(port, b"?")
                    self.assertEqual((got, ended if end else None), (b"g" * n, end))
                self.assertIsNone(proxy.poll())

    def test_ends_by_itself(self):
        target = Target(echo)
        self.addCleanup(target.close)
        proxy = [sys.executable, PROXY, "--target", "127.0.0.1:%d" % target.port, "--max-seconds", "20"]
        with tempfile.TemporaryDirectory() as d:
            port_file = os.path.join(d, "port")
            cases = [
                # The proxy itself, bounded in time: it returns on its own.
                ("max-seconds", proxy + ["--max-seconds", "0.3", "--port-file", port_file]),
                # A shell starts the proxy in the background, waits until it listens and ends: the
                # proxy's parent is gone.
                ("parent gone", ["/bin/sh", "-c", '"$@" >/dev/null 2>&1 & while [ ! -s "$0" ]; do sleep 0.02; done;'
                                 ' echo $!', port_file] + proxy + ["--port-file", port_file]),
            ]
            for name, command in cases:
                with self.subTest(name):
                    starter = subprocess.run(command, capture_output=True, timeout=10)
                    self.assertEqual(starter.returncode, 0, starter.stderr)
                    self.assertTrue(os.path.exists(port_file))
                    pid = int(starter.stdout.split()[0]) if name == "parent gone" else None
                    deadline = time.monotonic() + 5
                    while pid and alive(pid) and time.monotonic() < deadline:
                        time.sleep(0.05)
                    self.assertFalse(pid and alive(pid))
                    os.remove(port_file)

    def test_odd_peers_leave_the_proxy_serving(self):
        def refused():
            closed = socket.create_server(("127.0.0.1", 0))
            port = closed.getsockname()[1]
            closed.close()
            proxy, proxy_port = start_proxy(port)
            self.addCleanup(lambda: (proxy.kill(), proxy.wait(), proxy.stdout.close(), proxy.stderr.close()))
            return proxy, exchange(proxy_port), (b"", "reset")

        def half_closed():
            _, proxy, port = self.with_proxy(echo, "--delay-ms", "5")
            return proxy, exchange(port, b"x" * 300000), (b"x" * 300000, "eof")

        def client_reset():
            target, proxy, port = self.with_proxy(echo, "--delay-ms", "5")
            c = self.connect(port)
            c.sendall(b"hallo")
            self.assertEqual(c.recv(5), b"hallo")
            c.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, b"\1\0\0\0\0\0\0\0")
            c.close()
            deadline = time.monotonic() + 5
            while not target.results and time.monotonic() < deadline:
                time.sleep(0.01)
            return proxy, type(target.results[0]), ConnectionResetError

        def target_that_does_not_read():
            # 64 MiB offered: kernel buffers take a few MiB, the proxy at most its limit; the rest waits.
            _, proxy, port = self.with_proxy(lambda conn: time.sleep(3), "--max-in-flight", "65536")
            c = self.connect(port)
            c.setblocking(False)
            pushed, chunk, idle_since = 0, b"z" * 65536, time.monotonic()
            while pushed < 64 << 20 and time.monotonic() - idle_since < 0.3:
                try:
                    pushed += c.send(chunk)
                    idle_since = time.monotonic()
                except BlockingIOError:
                    time.sleep(0.01)
            return proxy, pushed < 48 << 20, True

        for case in (refused, half_closed, client_reset, target_that_does_not_read):
            with self.subTest(case.__name__):
                proxy, got, expected = case()
                self.assertEqual(got, expected)
                self.assertIsNone(proxy.poll())


def alive(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
