#!/usr/bin/python3
# xdnd-drop.py X Y PATH...: drops files (Windows paths) on the window at a screen point as a
# file manager does, by X drag-and-drop (version 5): Enter and Position, Drop once the target
# accepts, the file:// list to the selection's requestor. Exit 0: dropped, 2: refused.
import os, select, sys, time, urllib.parse
from Xlib import X, display
from Xlib.protocol import event
d = display.Display()
root, atom, x, y = d.screen().root, d.intern_atom, int(sys.argv[1]), int(sys.argv[2])
unix = lambda p: os.path.realpath(os.environ['WINEPREFIX'] + '/dosdevices/' + p[:2].lower()) + p[2:].replace('\\', '/')
uris = ''.join('file://' + urllib.parse.quote(unix(p)) + '\r\n' for p in sys.argv[3:]).encode()
me = root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
me.set_selection_owner(atom('XdndSelection'), X.CurrentTime)
to = root  # the first window down from the root under the point that takes drops
while to and not to.get_full_property(atom('XdndAware'), X.AnyPropertyType):
    to = to.translate_coords(root, x, y).child
def send(kind, *l):
    to.send_event(event.ClientMessage(window=to, client_type=atom(kind), data=(32, ([me.id, *l] + [0] * 4)[:5])))
send('XdndEnter', 5 << 24, atom('text/uri-list'))
send('XdndPosition', 0, x << 16 | y, X.CurrentTime, atom('XdndActionCopy'))
deadline = time.time() + 120  # a target that is printing answers when the job is done
while time.time() < deadline:
    d.flush()
    e = d.next_event() if d.pending_events() or select.select([d], [], [], 0.1)[0] else None
    kind = e and e.type == X.ClientMessage and d.get_atom_name(e.client_type)
    if e and e.type == X.SelectionRequest:
        e.requestor.change_property(e.property, e.target, 8, uris)
        e.requestor.send_event(event.SelectionNotify(time=e.time, requestor=e.requestor, selection=e.selection,
                                                     target=e.target, property=e.property))
    elif kind == 'XdndStatus':
        send('XdndDrop' if e.data[1][1] & 1 else 'XdndLeave', 0, X.CurrentTime)
        if not e.data[1][1] & 1:
            sys.exit(2)
    elif kind == 'XdndFinished':
        sys.exit(0)
sys.exit(1)  # no answer
