'use strict';

// The desktop's windows as the keyboard sees them: a number, a title and whether the window is
// a native Wayland one (the shell's input method reaches it) or an X11 one (XWayland).

const { Meta } = imports.gi;
const Main = imports.ui.main;

function kindOf(window) {
    return window.get_client_type() === Meta.WindowClientType.WAYLAND ? 'wayland' : 'x11';
}

function byId(id) {
    return global.display.list_all_windows().find(window => window.get_id() === id) ?? null;
}

// Whether text committed through the shell's input method now goes to window: it holds the
// focus, its client has text input enabled there, and no part of the shell has taken the keys:
// nothing modal (the overview, a dialog) is up, and the stage holds the key focus itself.
function acceptsText(window) {
    return window !== null && kindOf(window) === 'wayland' && Main.inputMethod.currentFocus !== null &&
        Main.modalCount === 0 && global.stage.get_key_focus() === global.stage;
}

var Windows = {
    // Titled windows of programs other than callerPid, from the bottom of the stack to the top.
    list(callerPid) {
        const display = global.display;
        return display.sort_windows_by_stacking(display.list_all_windows())
            .filter(window => !window.is_override_redirect() && window.get_title() &&
                window.get_pid() !== callerPid)
            .map(window => [window.get_id(), window.get_title(), kindOf(window)]);
    },

    activate(id) {
        const window = byId(id);
        if (!window)
            throw new Error(`No window ${id}`);
        Main.activateWindow(window);
    },

    focus() {
        const window = global.display.focus_window;
        return [window ? window.get_id() : 0, acceptsText(window)];
    },

    acceptsTextFor(id) {
        const window = global.display.focus_window;
        return window !== null && window.get_id() === id && acceptsText(window);
    },
};
