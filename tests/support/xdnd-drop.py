#!/usr/bin/python3
# xdnd-drop.py X Y PATH...: drops the files on the window at a screen point as a file manager
# does, by the X drag-and-drop protocol (version 5): Enter and Position, Drop once the target
# accepts, the file:// list to whoever asks for the selection. Exit 0: dropped, 2: refused.
import select, sys, time, urllib.parse
from Xlib import X, display
from Xlib.protocol import event

x, y, paths = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3:]
d = display.Display()
root, atom = d.screen().root, d.intern_atom
uris = ''.join('file://' + urllib.parse.quote(p) + '\r\n' for p in paths).encode()
source = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
source.set_selection_owner(atom('XdndSelection'), X.CurrentTime)
target = root  # the first window down from the root under the point that takes drops
while target and not target.get_full_property(atom('XdndAware'), X.AnyPropertyType):
    target = target.translate_coords(root, x, y).child

def send(kind, *longs):
    data = (32, ([source.id] + list(longs) + [0] * 4)[:5])
    target.send_event(event.ClientMessage(window=target, client_type=atom(kind), data=data))
    d.flush()

send('XdndEnter', 5 << 24, atom('text/uri-list'))
send('XdndPosition', 0, x << 16 | y, X.CurrentTime, atom('XdndActionCopy'))
deadline = time.time() + 120  # a target that is printing answers when the job is done
while time.time() < deadline:
    select.select([d], [], [], 0.1)
    while d.pending_events():
        e = d.next_event()
        if e.type == X.SelectionRequest:
            e.requestor.change_property(e.property, e.target, 8, uris)
            e.requestor.send_event(event.SelectionNotify(time=e.time, requestor=e.requestor,
                selection=e.selection, target=e.target, property=e.property))
            d.flush()
        elif e.type == X.ClientMessage and e.client_type == atom('XdndStatus'):
            if not e.data[1][1] & 1:
                send('XdndLeave')
                sys.exit(2)
            send('XdndDrop', 0, X.CurrentTime)
        elif e.type == X.ClientMessage and e.client_type == atom('XdndFinished'):
            sys.exit(0)
sys.exit(1)
