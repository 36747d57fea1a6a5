"""Drops files on a window the way a file manager does: the X drag-and-drop protocol (XDND),
spoken from a window of our own that offers the files as text/uri-list. xdotool can move the
pointer but cannot drag between programs, so this is how a test hands a program dropped files.
Uses libX11 through ctypes, as x_ping does."""
import ctypes
import time
import urllib.parse

from x_ping import _CLIENT_MESSAGE, _Event, _x11

_x11.XCreateSimpleWindow.restype = ctypes.c_ulong
_x11.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                     ctypes.c_ulong]
_x11.XSetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                    ctypes.c_ulong]
_x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                 ctypes.c_int, ctypes.c_int, ctypes.c_char_p, ctypes.c_int]
_x11.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]

_SELECTION_REQUEST = 30
_SELECTION_NOTIFY = 31
_PROP_MODE_REPLACE = 0
_XDND_VERSION = 5


class _SelectionRequest(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("owner", ctypes.c_ulong),
                ("requestor", ctypes.c_ulong), ("selection", ctypes.c_ulong),
                ("target", ctypes.c_ulong), ("property", ctypes.c_ulong),
                ("time", ctypes.c_ulong)]


class _Selection(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("requestor", ctypes.c_ulong),
                ("selection", ctypes.c_ulong), ("target", ctypes.c_ulong),
                ("property", ctypes.c_ulong), ("time", ctypes.c_ulong)]


class Dropper:
    """One connection and one source window, kept for every drop of a run."""

    def __init__(self):
        self.display = _x11.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot open the X display")
        root = _x11.XDefaultRootWindow(self.display)
        self.source = _x11.XCreateSimpleWindow(self.display, root, 0, 0, 1, 1, 0, 0, 0)
        atom = lambda name: _x11.XInternAtom(self.display, name.encode(), 0)
        self.atoms = {name: atom(name) for name in
                      ("XdndEnter", "XdndPosition", "XdndStatus", "XdndDrop", "XdndFinished",
                       "XdndLeave", "XdndSelection", "XdndActionCopy", "text/uri-list")}
        self.stamp = 1

    def _send(self, window, message, *data):
        event = _Event()
        event.client.type = _CLIENT_MESSAGE
        event.client.window = window
        event.client.message_type = self.atoms[message]
        event.client.format = 32
        event.client.data[0] = self.source
        for i, value in enumerate(data, start=1):
            event.client.data[i] = value
        _x11.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        _x11.XFlush(self.display)

    def _serve(self, request, uris):
        """Answers the target's request for the dropped files."""
        reply = _Event()
        selection = ctypes.cast(ctypes.byref(reply), ctypes.POINTER(_Selection)).contents
        selection.type = _SELECTION_NOTIFY
        selection.requestor = request.requestor
        selection.selection = request.selection
        selection.target = request.target
        selection.time = request.time
        selection.property = 0  # refused, unless it asks for the one type offered
        if request.target == self.atoms["text/uri-list"]:
            _x11.XChangeProperty(self.display, request.requestor, request.property,
                                 request.target, 8, _PROP_MODE_REPLACE, uris, len(uris))
            selection.property = request.property
        _x11.XSendEvent(self.display, request.requestor, 0, 0, ctypes.byref(reply))
        _x11.XFlush(self.display)

    def _wait(self, what, deadline, uris):
        """Serves requests until the client message `what` comes; returns it, or None."""
        event = _Event()
        while time.monotonic() < deadline:
            while _x11.XPending(self.display):
                _x11.XNextEvent(self.display, ctypes.byref(event))
                if event.type == _SELECTION_REQUEST:
                    request = ctypes.cast(ctypes.byref(event),
                                          ctypes.POINTER(_SelectionRequest)).contents
                    self._serve(request, uris)
                elif (event.type == _CLIENT_MESSAGE
                      and event.client.message_type == self.atoms[what]):
                    return event.client
            time.sleep(0.005)
        return None

    def drop(self, window, x, y, paths, timeout=5.0):
        """Drops `paths` on `window` at the screen point (x, y). Returns whether the window
        accepted the drop; False also when it did not answer within `timeout`."""
        uris = "".join("file://" + urllib.parse.quote(p) + "\r\n" for p in paths).encode()
        self.stamp += 1
        _x11.XSetSelectionOwner(self.display, self.atoms["XdndSelection"], self.source, 0)
        deadline = time.monotonic() + timeout
        self._send(window, "XdndEnter", _XDND_VERSION << 24, self.atoms["text/uri-list"])
        self._send(window, "XdndPosition", 0, (x << 16) | y, self.stamp,
                   self.atoms["XdndActionCopy"])
        status = self._wait("XdndStatus", deadline, uris)
        if status is None or not status.data[1] & 1:
            self._send(window, "XdndLeave", 0)
            return False
        self._send(window, "XdndDrop", 0, self.stamp)
        return self._wait("XdndFinished", deadline, uris) is not None

    def close(self):
        _x11.XDestroyWindow(self.display, self.source)
        _x11.XCloseDisplay(self.display)
