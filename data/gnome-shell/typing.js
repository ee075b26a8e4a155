'use strict';

// Types a text into the focused window through the shell's input method, as the shell's own
// on-screen keyboard does, in steps the client can follow. Measured on GNOME 43: several commits
// in one turn reach the client as the last one only, a commit over a few kilobytes can kill it,
// and a Return and a commit sent close together may arrive in the wrong order.

const { Clutter, GLib } = imports.gi;
const Main = imports.ui.main;

// Code points committed in one step.
var StepLength = 200;
// How long a step waits at most for the client to report its new text.
var StepWaitMs = 150;
// The Return key's keycode: evdev's KEY_ENTER plus XKB's offset of 8.
const ReturnKeycode = 28 + 8;

// The text in steps: each line break alone, the rest in runs of at most StepLength code points.
function steps(text) {
    const result = [];
    for (const line of text.split(/(\n)/)) {
        const characters = [...line];
        for (let start = 0; start < characters.length; start += StepLength)
            result.push(characters.slice(start, start + StepLength).join(''));
    }
    return result;
}

function pressReturn() {
    const time = global.display.get_current_time_roundtrip();
    Main.inputMethod.forward_key(Clutter.KEY_Return, ReturnKeycode, 0, time, true);
    Main.inputMethod.forward_key(Clutter.KEY_Return, ReturnKeycode, 0, time, false);
}

var TextTyping = class {
    constructor() {
        this._busy = false;
        this._stopped = false;
        this._wait = null;
    }

    // Types text while stillTarget() holds, checked before every step. Resolves to a status
    // ('done', 'focus-lost', 'busy' or 'stopped') and the number of code points sent.
    async type(text, stillTarget) {
        if (this._busy)
            return ['busy', 0];
        this._busy = true;
        try {
            return await this._typeSteps(steps(text), stillTarget);
        } finally {
            this._busy = false;
        }
    }

    stop() {
        this._stopped = true;
        this._wait?.finish();
    }

    async _typeSteps(textSteps, stillTarget) {
        let delivered = 0;
        for (const step of textSteps) {
            if (this._stopped)
                return ['stopped', delivered];
            if (!stillTarget())
                return ['focus-lost', delivered];
            if (step === '\n') {
                pressReturn();
                await this._pause(null);
            } else {
                Main.inputMethod.commit(step);
                await this._pause('surrounding-text-set');
            }
            delivered += [...step].length;
        }
        return ['done', delivered];
    }

    // Waits StepWaitMs, or less when signal comes first: the client tells the input method
    // its text around the cursor once it has taken in what it was sent.
    _pause(signal) {
        return new Promise(resolve => {
            let signalId = 0;
            let timeoutId = 0;
            const finish = () => {
                if (signalId)
                    Main.inputMethod.disconnect(signalId);
                if (timeoutId)
                    GLib.source_remove(timeoutId);
                this._wait = null;
                resolve();
            };
            if (signal)
                signalId = Main.inputMethod.connect(signal, finish);
            timeoutId = GLib.timeout_add(GLib.PRIORITY_DEFAULT, StepWaitMs, () => {
                timeoutId = 0;
                finish();
                return GLib.SOURCE_REMOVE;
            });
            this._wait = { finish };
        });
    }
};
