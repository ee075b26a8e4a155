'use strict';

// Serves the Hiragana keyboard on GNOME on Wayland, where no other program may list the windows,
// bring one to the front or type into it. The keyboard asks over D-Bus; any other caller is refused.

const { Gio, GLib } = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;

const Me = ExtensionUtils.getCurrentExtension();
const { Windows } = Me.imports.windows;
const { TextTyping } = Me.imports.typing;

Gio._promisify(Gio.DBusConnection.prototype, 'call', 'call_finish');

const ObjectPath = '/io/github/hiragana_keyboard/Hiragana/Transfer';
const InterfaceXml = `
<node>
  <interface name="io.github.hiragana_keyboard.Hiragana.Transfer">
    <method name="ListWindows">
      <arg direction="out" type="a(tss)" name="windows"/>
    </method>
    <method name="Activate">
      <arg direction="in" type="t" name="id"/>
    </method>
    <method name="Focus">
      <arg direction="out" type="t" name="id"/>
      <arg direction="out" type="b" name="acceptsText"/>
    </method>
    <method name="Type">
      <arg direction="in" type="t" name="id"/>
      <arg direction="in" type="s" name="text"/>
      <arg direction="out" type="s" name="status"/>
      <arg direction="out" type="u" name="delivered"/>
    </method>
  </interface>
</node>`;

async function callerPid(invocation) {
    const reply = await invocation.get_connection().call(
        'org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
        'GetConnectionUnixProcessID', new GLib.Variant('(s)', [invocation.get_sender()]),
        new GLib.VariantType('(u)'), Gio.DBusCallFlags.NONE, -1, null);
    return reply.deepUnpack()[0];
}

// The same file, followed through symbolic links: /proc/<pid>/exe leads to the program that
// process runs (a program replaced or deleted since it started is another file).
function isSameFile(path, file) {
    const idOf = f => f.query_info('id::file', Gio.FileQueryInfoFlags.NONE, null).get_attribute_string('id::file');
    try {
        return idOf(Gio.File.new_for_path(path)) === idOf(file);
    } catch (e) {
        return false;
    }
}

class TransferService {
    constructor(program) {
        this._program = program;
        this._typing = new TextTyping();
        this._object = Gio.DBusExportedObject.wrapJSObject(InterfaceXml, this);
        this._object.export(Gio.DBus.session, ObjectPath);
    }

    destroy() {
        this._object.unexport();
        this._typing.stop();
    }

    ListWindowsAsync(params, invocation) {
        this._serve(invocation, '(a(tss))', pid => [Windows.list(pid)]);
    }

    ActivateAsync([id], invocation) {
        this._serve(invocation, null, () => Windows.activate(id));
    }

    FocusAsync(params, invocation) {
        this._serve(invocation, '(tb)', () => Windows.focus());
    }

    TypeAsync([id, text], invocation) {
        this._serve(invocation, '(su)', () => this._typing.type(text, () => Windows.acceptsTextFor(id)));
    }

    async _serve(invocation, replyType, method) {
        let reply;
        try {
            const pid = await callerPid(invocation);
            if (!isSameFile(`/proc/${pid}/exe`, this._program)) {
                invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
                    'Only the installed Hiragana keyboard may use this interface');
                return;
            }
            reply = await method(pid);
        } catch (e) {
            invocation.return_dbus_error('org.freedesktop.DBus.Error.Failed', e.message);
            return;
        }
        invocation.return_value(replyType ? new GLib.Variant(replyType, reply) : null);
    }
}

class Extension {
    enable() {
        // The keyboard is installed with this extension, under the same prefix.
        const program = Me.dir.resolve_relative_path(Me.metadata['program']);
        this._service = new TransferService(program);
    }

    disable() {
        this._service.destroy();
        this._service = null;
    }
}

// eslint-disable-next-line no-unused-vars
function init() {
    return new Extension();
}
