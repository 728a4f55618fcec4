#!/usr/bin/python3
# Drops files on the X window at a point of the screen as a file manager does, through the
# X drag-and-drop protocol (version 5): XdndEnter and XdndPosition, then XdndDrop once the
# target has said it takes them, handing the file:// list to whoever asks for the selection.
# usage: xdnd-drop.py X Y PATH... ; exit 0: dropped and finished, 2: refused, 1: no answer.
import select, sys, time, urllib.parse
from Xlib import X, display
from Xlib.protocol import event

x, y, paths = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3:]
d = display.Display()
root = d.screen().root
atom = d.intern_atom
uri_list = atom('text/uri-list')
data = ''.join('file://' + urllib.parse.quote(p) + '\r\n' for p in paths).encode()
source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
source.set_selection_owner(atom('XdndSelection'), X.CurrentTime)

# The first window down from the root under the point that says it takes drops.
target, window = None, root
while window and not target:
    if window.get_full_property(atom('XdndAware'), X.AnyPropertyType):
        target = window
    window = window.translate_coords(root, x, y).child
if not target:
    sys.exit('no window taking drops at %d,%d' % (x, y))

def send(kind, *longs):
    values = [source.id] + list(longs) + [0] * (4 - len(longs))
    target.send_event(event.ClientMessage(window=target, client_type=atom(kind), data=(32, values)))
    d.flush()

def answer(request):
    prop = request.property if request.target == uri_list else X.NONE
    if prop:
        request.requestor.change_property(prop, uri_list, 8, data)
    request.requestor.send_event(event.SelectionNotify(
        time=request.time, requestor=request.requestor, selection=request.selection,
        target=request.target, property=prop))
    d.flush()

send('XdndEnter', 5 << 24, uri_list)
send('XdndPosition', 0, x << 16 | y, X.CurrentTime, atom('XdndActionCopy'))
deadline, dropped = time.time() + 120, False  # a target busy printing answers late
while time.time() < deadline:
    select.select([d], [], [], 0.1)
    while d.pending_events():
        e = d.next_event()
        if e.type == X.SelectionRequest:
            answer(e)
        elif e.type == X.ClientMessage and e.client_type == atom('XdndStatus') and not dropped:
            if not e.data[1][1] & 1:
                send('XdndLeave')
                sys.exit(2)
            send('XdndDrop', 0, X.CurrentTime)
            dropped = True
        elif e.type == X.ClientMessage and e.client_type == atom('XdndFinished'):
            sys.exit(0)
sys.exit(1)
