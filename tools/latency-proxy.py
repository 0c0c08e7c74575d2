#!/usr/bin/python3
"""A TCP proxy on loopback that delays each direction, for tests and benchmarks.

Database mode is slow over a network because every query waits for a round
trip; on one machine the server answers in microseconds. This proxy puts a
network's latency between a client and a server on 127.0.0.1: bytes read from
one side at time t are written to the other side at t + delay, in order. Each
direction has its own queue, so a burst is not delayed more than its first
byte: the proxy models latency, not a narrow line.

    latency-proxy.py --target 127.0.0.1:5432 --delay-ms 0.5 --port 0 --port-file P

listens on 127.0.0.1 only, prints the port it listens on (one line on
standard output) and writes it to --port-file, and forwards every accepted
connection to the target, which must be a loopback address too. A round trip
through it takes twice --delay-ms. It ends by itself after --max-seconds,
when the process that started it goes away, or on SIGTERM/SIGINT.

Bounded: at most --max-connections connections at once (one more is accepted
and reset at once), and at most --max-in-flight bytes queued per direction of
one connection; a full queue stops reading from that side, so the sender
waits (TCP back-pressure) instead of the proxy buffering without end.

The lost connection of the failure tests: --cut-after-bytes N ends
connections once N bytes have been delivered, counting both directions
together, either over all connections of the proxy's lifetime
(--cut-scope total, the default: the server "goes away", and connections
opened later are cut at once) or per connection (--cut-scope connection).
The last chunk is shortened so that exactly N bytes arrive. --cut-how reset
(default) aborts both sockets with a TCP reset; close ends them with a
normal close, so each side reads end of file.

Half-closed connections are passed on (end of file arrives after the data
before it, delayed like the data); a reset on one side resets the other once
the data queued before the reset has been delivered; a target that refuses
resets the client's connection. The connection set-up itself is not
delayed: the kernel completed the client's handshake before the proxy saw it.

Timing: select() waits with microsecond resolution (epoll and poll round to
milliseconds, which would turn 0.5 ms into 1 ms), with the timer slack of
the process set to the least. On a loaded machine wake-ups still come some
ten to a few hundred microseconds late: a round trip takes at least twice
--delay-ms, never less.

Its last line on standard error counts what it did: "beendet: C
Verbindungen, B Bytes weitergeleitet, K getrennt". A test learns from an
uncut run how many bytes a whole run takes and spreads its cuts over them.

Exit status: 0 after an ordinary end, 1 when it cannot listen, 2 for bad
arguments.
"""

import argparse
import collections
import ctypes
import errno
import ipaddress
import os
import select
import signal
import socket
import struct
import sys
import time

CHUNK = 65536
# select() takes descriptors below FD_SETSIZE; two per connection and the listener.
MAX_CONNECTIONS = 400
# How often the loop wakes at least, to notice the parent's end and the deadline.
POLL_SECONDS = 0.2

DATA, EOF, RESET = 0, 1, 2
PR_SET_TIMERSLACK = 29


def say(text):
    print("latency-proxy: " + text, file=sys.stderr, flush=True)


def abort_socket(sock):
    """Closes with a TCP reset instead of a normal close."""
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    except OSError:
        pass
    sock.close()


def discard_unread(sock):
    """Reads what is waiting: closing a socket with unread bytes sends a reset, not an end of file."""
    for _ in range(64):
        try:
            if not sock.recv(CHUNK):
                return
        except OSError:
            return


class Pipe:
    """One direction of a connection: what was read from src and waits for its time to reach dst."""

    def __init__(self, src, dst):
        self.src = src
        self.dst = dst
        self.queue = collections.deque()  # [deadline, kind, bytes, offset]
        self.queued = 0
        self.reading = True
        self.blocked = False  # dst refused more bytes; wait until it is writable
        self.done = False

    def due(self, now):
        return self.queue and self.queue[0][0] <= now


class Connection:
    def __init__(self, proxy, client, target, connecting):
        self.proxy = proxy
        self.client = client
        self.target = target
        self.connecting = connecting
        self.up = Pipe(client, target)
        self.down = Pipe(target, client)
        self.forwarded = 0
        self.closed = False

    def pipes(self):
        return (self.up, self.down)

    def close(self, how):
        if self.closed:
            return
        self.closed = True
        for s in (self.client, self.target):
            if how == "reset":
                abort_socket(s)
            else:
                discard_unread(s)
                s.close()

    def side_died(self, sock):
        """One side reset or failed: nothing more goes to it; the other side is reset after its queued data."""
        for pipe in self.pipes():
            if pipe.dst is sock:
                pipe.queue.clear()
                pipe.queued = 0
                pipe.reading = False
                pipe.done = True
        for pipe in self.pipes():
            if pipe.src is sock:
                # Even after its end of file was passed on, the other side learns of the reset.
                pipe.reading = False
                pipe.done = False
                pipe.queue.append([time.monotonic() + self.proxy.delay, RESET, b"", 0])

    def finish_connect(self):
        err = self.target.getsockopt(socket.SOL_SOCKET, socket.SO_ERROR)
        self.connecting = False
        if err:
            say("Ziel %s:%d verweigert die Verbindung (%s)" % (self.proxy.target[0], self.proxy.target[1],
                                                                os.strerror(err)))
            self.close("reset")

    def read(self, pipe):
        room = self.proxy.max_in_flight - pipe.queued
        try:
            data = pipe.src.recv(min(CHUNK, room))
        except (BlockingIOError, InterruptedError):
            return
        except OSError:
            self.side_died(pipe.src)
            return
        deadline = time.monotonic() + self.proxy.delay
        if not data:
            pipe.reading = False
            pipe.queue.append([deadline, EOF, b"", 0])
            return
        pipe.queue.append([deadline, DATA, data, 0])
        pipe.queued += len(data)

    def deliver(self, pipe, now):
        """Writes every due item of the pipe that dst takes now."""
        pipe.blocked = False
        while pipe.due(now) and not self.closed:
            item = pipe.queue[0]
            kind = item[1]
            if kind == RESET:
                self.close("reset")
                return
            if kind == EOF:
                pipe.queue.popleft()
                pipe.done = True
                try:
                    pipe.dst.shutdown(socket.SHUT_WR)
                except OSError:
                    pass
                continue
            budget = self.proxy.budget(self)
            if budget == 0:
                self.proxy.cut(self)
                return
            data, offset = item[2], item[3]
            end = min(len(data), offset + budget) if budget is not None else len(data)
            try:
                sent = pipe.dst.send(memoryview(data)[offset:end])
            except (BlockingIOError, InterruptedError):
                pipe.blocked = True
                return
            except OSError:
                self.side_died(pipe.dst)
                return
            self.proxy.count(self, sent)
            pipe.queued -= sent
            item[3] += sent
            if item[3] == len(data):
                pipe.queue.popleft()
            elif sent < end - offset:
                pipe.blocked = True
                return
            if self.proxy.budget(self) == 0:
                self.proxy.cut(self)
                return


class Proxy:
    def __init__(self, args, listener):
        self.listener = listener
        self.target_family, self.target = args.target
        self.delay = args.delay_ms / 1000.0
        self.max_connections = args.max_connections
        self.max_in_flight = args.max_in_flight
        self.cut_after = args.cut_after_bytes
        self.cut_scope = args.cut_scope
        self.cut_how = args.cut_how
        self.connections = []
        self.total = 0
        self.accepted = 0
        self.cuts = 0

    def budget(self, conn):
        """Bytes that may still be delivered on conn before the cut; None without a cut."""
        if self.cut_after is None:
            return None
        used = self.total if self.cut_scope == "total" else conn.forwarded
        return max(0, self.cut_after - used)

    def count(self, conn, sent):
        conn.forwarded += sent
        self.total += sent

    def cut(self, conn):
        victims = [conn] if self.cut_scope == "connection" else list(self.connections)
        for c in victims:
            if not c.closed:
                self.cuts += 1
                c.close(self.cut_how)
        say("Verbindung getrennt nach %d Bytes (%s)" % (
            conn.forwarded if self.cut_scope == "connection" else self.total,
            "diese Verbindung" if self.cut_scope == "connection" else "alle Verbindungen"))

    def accept(self):
        try:
            client, _ = self.listener.accept()
        except (BlockingIOError, InterruptedError):
            return
        except OSError as e:
            # Out of descriptors and the like: the client sees its connection closed, the proxy goes on.
            say("Verbindung nicht angenommen: %s" % e.strerror)
            return
        if len(self.connections) >= self.max_connections:
            say("Verbindung abgewiesen: schon %d Verbindungen" % len(self.connections))
            abort_socket(client)
            return
        self.accepted += 1
        client.setblocking(False)
        client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        target = socket.socket(self.target_family, socket.SOCK_STREAM)
        target.setblocking(False)
        target.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        err = target.connect_ex(self.target)
        conn = Connection(self, client, target, err in (errno.EINPROGRESS, errno.EWOULDBLOCK))
        self.connections.append(conn)
        if err and not conn.connecting:
            say("Ziel %s:%d verweigert die Verbindung (%s)" % (self.target[0], self.target[1], os.strerror(err)))
            conn.close("reset")
        elif self.budget(conn) == 0:
            self.cut(conn)

    def step(self, deadline):
        """One round of the loop: wait for sockets or the next due item, then move bytes."""
        now = time.monotonic()
        readers, writers, wake = [self.listener], [], min(deadline, now + POLL_SECONDS)
        for conn in self.connections:
            if conn.connecting:
                writers.append(conn.target)
                continue
            for pipe in conn.pipes():
                if pipe.done:
                    continue
                if pipe.reading and pipe.queued < self.max_in_flight:
                    readers.append(pipe.src)
                if pipe.queue:
                    if pipe.blocked:
                        writers.append(pipe.dst)
                    else:
                        wake = min(wake, pipe.queue[0][0])
        r, w, _ = select.select(readers, writers, [], max(0.0, wake - now))
        ready_r, ready_w = set(r), set(w)
        if self.listener in ready_r:
            self.accept()
        for conn in list(self.connections):
            if conn.connecting and conn.target in ready_w:
                conn.finish_connect()
            if conn.closed or conn.connecting:
                continue
            for pipe in conn.pipes():
                if pipe.reading and pipe.src in ready_r and not conn.closed:
                    conn.read(pipe)
        now = time.monotonic()
        for conn in self.connections:
            for pipe in conn.pipes():
                if conn.closed or conn.connecting or pipe.done:
                    continue
                if pipe.due(now) and (not pipe.blocked or pipe.dst in ready_w):
                    conn.deliver(pipe, now)
            if not conn.closed and conn.up.done and conn.down.done:
                conn.close("close")
        self.connections = [c for c in self.connections if not c.closed]

    def shut_down(self):
        for conn in self.connections:
            conn.close("reset")
        self.listener.close()
        say("beendet: %d Verbindungen, %d Bytes weitergeleitet, %d getrennt" % (self.accepted, self.total,
                                                                                self.cuts))


def loopback_target(text):
    host, sep, port = text.rpartition(":")
    if not sep or not port.isdigit() or not 0 < int(port) < 65536:
        raise argparse.ArgumentTypeError("HOST:PORT erwartet, nicht %r" % text)
    host = host.strip("[]")
    try:
        infos = socket.getaddrinfo(host, int(port), type=socket.SOCK_STREAM)
    except socket.gaierror as e:
        raise argparse.ArgumentTypeError("%s: %s" % (host, e))
    for family, _, _, _, addr in infos:
        if ipaddress.ip_address(addr[0]).is_loopback:
            return family, addr[:2]
    raise argparse.ArgumentTypeError("das Ziel muss auf dieser Maschine liegen (Loopback), nicht %s" % host)


def bounded(kind, low, high):
    def parse(text):
        try:
            value = kind(text)
        except ValueError:
            raise argparse.ArgumentTypeError("keine Zahl: %r" % text)
        if not low <= value <= high:
            raise argparse.ArgumentTypeError("%s liegt nicht zwischen %s und %s" % (text, low, high))
        return value
    return parse


def parse_args(argv):
    p = argparse.ArgumentParser(description="TCP proxy on 127.0.0.1 that delays each direction.")
    p.add_argument("--target", required=True, type=loopback_target, help="HOST:PORT on loopback to forward to")
    p.add_argument("--port", type=bounded(int, 0, 65535), default=0, help="port to listen on (0: a free one)")
    p.add_argument("--port-file", help="file to write the listening port to (written whole, then renamed)")
    p.add_argument("--delay-ms", type=bounded(float, 0.0, 10000.0), default=0.0,
                   help="delay of each direction in milliseconds (a round trip takes twice this)")
    p.add_argument("--max-connections", type=bounded(int, 1, MAX_CONNECTIONS), default=32)
    p.add_argument("--max-in-flight", type=bounded(int, 1, 64 << 20), default=1 << 20,
                   help="bytes queued at most per direction of one connection (default 1 MiB)")
    p.add_argument("--max-seconds", type=bounded(float, 0.1, 86400.0), default=600.0,
                   help="end after this many seconds (default 600)")
    p.add_argument("--cut-after-bytes", type=bounded(int, 0, 1 << 62), default=None,
                   help="end connections after N bytes delivered, both directions counted")
    p.add_argument("--cut-scope", choices=("total", "connection"), default="total",
                   help="count N over all connections (default) or per connection")
    p.add_argument("--cut-how", choices=("reset", "close"), default="reset",
                   help="a TCP reset (default) or a normal close")
    return p.parse_args(argv)


def main(argv):
    args = parse_args(argv)
    parent = os.getppid()
    # Linux lets a timer fire up to 50 microseconds late by default; a tenth of the
    # shortest delay tested. One nanosecond of slack makes the delay what was asked.
    try:
        ctypes.CDLL(None).prctl(PR_SET_TIMERSLACK, 1, 0, 0, 0)
    except (OSError, AttributeError):
        pass
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        listener.bind(("127.0.0.1", args.port))
        listener.listen(64)
    except OSError as e:
        say("kann nicht auf 127.0.0.1:%d lauschen: %s" % (args.port, e.strerror))
        return 1
    listener.setblocking(False)
    port = listener.getsockname()[1]
    if args.port_file:
        partial = args.port_file + ".tmp"
        with open(partial, "w", encoding="ascii") as f:
            f.write("%d\n" % port)
        os.replace(partial, args.port_file)
    try:
        print(port, flush=True)
    except (BrokenPipeError, OSError):
        pass  # nobody reads standard output; the port file serves

    stop = []
    for sig in (signal.SIGTERM, signal.SIGINT):
        signal.signal(sig, lambda *_: stop.append(True))
    # A peer that goes away while the proxy writes must not end it.
    signal.signal(signal.SIGPIPE, signal.SIG_IGN)

    proxy = Proxy(args, listener)
    end = time.monotonic() + args.max_seconds
    try:
        while not stop and time.monotonic() < end and os.getppid() == parent:
            proxy.step(end)
    finally:
        proxy.shut_down()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
