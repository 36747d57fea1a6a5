"""Asks a window's program whether it still answers: the window manager's ping, sent straight
to the program. Qt answers it from its event loop, so no answer within the time means the loop
is stuck, whatever the screen shows. Uses libX11 through ctypes, so it needs nothing else."""
import ctypes
import ctypes.util
import time

_x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XInternAtom.restype = ctypes.c_ulong
_x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
_x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                            ctypes.c_void_p]
_x11.XFlush.argtypes = [ctypes.c_void_p]
_x11.XPending.argtypes = [ctypes.c_void_p]
_x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

_CLIENT_MESSAGE = 33
_STRUCTURE_NOTIFY = 1 << 17
_SUBSTRUCTURE_NOTIFY = 1 << 19


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("client", _ClientMessage), ("pad", ctypes.c_long * 24)]


class Pinger:
    """One connection to the display, kept for every ping of a run."""

    def __init__(self):
        self.display = _x11.XOpenDisplay(None)
        if not self.display:
            raise RuntimeError("cannot open the X display")
        self.root = _x11.XDefaultRootWindow(self.display)
        self.protocols = _x11.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        self.ping_atom = _x11.XInternAtom(self.display, b"_NET_WM_PING", 0)
        # The answer goes to the root window, to those who listen for structure changes there.
        _x11.XSelectInput(self.display, self.root, _STRUCTURE_NOTIFY | _SUBSTRUCTURE_NOTIFY)
        self.stamp = 1000

    def ping(self, window, timeout):
        """Seconds the program took to answer, or None when it did not within `timeout`."""
        self.stamp += 1
        event = _Event()
        event.client.type = _CLIENT_MESSAGE
        event.client.window = window
        event.client.message_type = self.protocols
        event.client.format = 32
        event.client.data[0] = self.ping_atom
        event.client.data[1] = self.stamp
        event.client.data[2] = window
        start = time.monotonic()
        _x11.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        _x11.XFlush(self.display)
        received = _Event()
        while time.monotonic() - start < timeout:
            while _x11.XPending(self.display):
                _x11.XNextEvent(self.display, ctypes.byref(received))
                if (received.type == _CLIENT_MESSAGE
                        and received.client.data[0] == self.ping_atom
                        and received.client.data[1] == self.stamp):
                    return time.monotonic() - start
            time.sleep(0.01)
        return None

    def close(self):
        _x11.XCloseDisplay(self.display)
