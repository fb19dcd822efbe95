#!/usr/bin/env python3
"""Prints where the X server sends the keys: a window's id, or "PointerRoot" (the window under
the pointer) or "None" (nowhere), which xdotool cannot report; then what the focus reverts to.
Usage: x_focus.py"""
import ctypes
import sys

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XGetInputFocus.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int)]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
focus = ctypes.c_ulong()
revert = ctypes.c_int()
x11.XGetInputFocus(display, ctypes.byref(focus), ctypes.byref(revert))
x11.XCloseDisplay(display)
names = {0: "None", 1: "PointerRoot"}
reverts = {0: "None", 1: "PointerRoot", 2: "Parent"}
print("%s, reverts to %s" % (names.get(focus.value, "0x%x" % focus.value), reverts.get(revert.value, revert.value)))
