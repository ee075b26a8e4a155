#!/usr/bin/python3
"""The transfer on GNOME on Wayland through the real keyboard, the shell's extension and GTK 3
targets. Run inside scripts/with-gnome-shell. Usage: gnome_transfer_test.py [TEXT_LENGTH]"""
import os
import subprocess
import sys
import tempfile
import time

HELPER = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'gtkhelper.py')
failures, started = [], []


def check(condition, message):
    print(('ok: ' if condition else 'FAIL: ') + message, flush=True)
    failures.extend([] if condition else [message])


def start(*command, **environment):
    started.append(subprocess.Popen(command, env=dict(os.environ, **environment)))


def wait_until(condition, seconds):
    deadline = time.monotonic() + seconds
    while not condition() and time.monotonic() < deadline:
        time.sleep(0.05)
    return condition()


def read(path):
    try:
        with open(path, encoding='utf-8') as file:
            return file.read()
    except FileNotFoundError:
        return None


def run(*command):
    return subprocess.run(command, capture_output=True, text=True)


def x_windows(title):
    return run('xdotool', 'search', '--onlyvisible', '--name', f'^{title}$').stdout.split()


def click_key(window, left, top, width, height):
    # Key places are in twips, 15 to a pixel, below the menu bar.
    run('xdotool', 'mousemove', '--window', window, str((left + width // 2) // 15),
        str((top + height // 2) // 15 + 12), 'click', '1')


def sample_text(length):
    """Every hiragana, digits, marks, the ideographic space, an emoji and ASCII, in lines of
    varied length: one longer than the shell's step of 200, one empty."""
    pieces = [chr(c) for c in range(0x3041, 0x3094)] + list('０１２３４５６７８９、。\u3000') + ['😀', 'Word 1 ']
    text, lines = '', 0
    while len(text) < length:
        line = ''
        while len(line) < [40, 250, 0, 120, 7][lines % 5]:
            line += pieces[(len(text) + len(line)) % len(pieces)]
        text, lines = text + line + '\n', lines + 1
    return text[:length]


def start_target(path, *decoy_after):
    start(HELPER, 'textview', 'Microsoft Word', path, *decoy_after)
    if not wait_until(lambda: read(path) == '', 20):
        sys.exit(f'the target {path} did not come up')


def start_keyboard_with(work, text):
    """The keyboard with text in its box: pasted, then taken over with "←", which also removes
    the last character."""
    with open(f'{work}/clipboard', 'w', encoding='utf-8') as file:
        file.write(text + '。')
    start(HELPER, 'clipboard', f'{work}/clipboard', GDK_BACKEND='x11')
    if not wait_until(lambda: read(f'{work}/clipboard.offered') == '', 20):
        sys.exit('the clipboard helper did not come up')
    start(os.environ['HIRAGANA_PROGRAM'])
    if not wait_until(lambda: x_windows('Hiragana'), 30):
        sys.exit('the keyboard did not come up')
    keyboard = x_windows('Hiragana')[0]
    if not wait_until(lambda: run('xdotool', 'getactivewindow').stdout.strip() == keyboard, 10):
        sys.exit('the keyboard did not take the focus')
    run('xdotool', 'key', 'ctrl+v')
    time.sleep(0.5)
    click_key(keyboard, 9840, 120, 975, 975)  # ←
    return keyboard


def main():
    text = sample_text(int(sys.argv[1]) if len(sys.argv) > 1 else 1000)
    with tempfile.TemporaryDirectory() as work:
        try:
            call = run('gdbus', 'call', '--session', '-d', 'org.gnome.Shell',
                       '-o', '/io/github/hiragana_keyboard/Hiragana/Transfer',
                       '-m', 'io.github.hiragana_keyboard.Hiragana.Transfer.ListWindows')
            check(call.returncode != 0 and 'AccessDenied' in call.stderr, 'another caller is refused')

            start_target(f'{work}/first')
            keyboard = start_keyboard_with(work, text)
            began = time.monotonic()
            click_key(keyboard, 120, 6240, 1935, 975)  # てんそう
            arrived = wait_until(lambda: read(f'{work}/first') == text, 120)
            rate = len(text) / (time.monotonic() - began)
            check(arrived and not x_windows('入力エラー'),
                  f'{len(text)} characters arrive exactly, no box ({rate:.0f} chars/s)')

            # A second target on top; once 300 characters are in, a window of its own takes the focus.
            start_target(f'{work}/second', '300')
            click_key(keyboard, 120, 6240, 1935, 975)
            check(wait_until(lambda: x_windows('入力エラー'), 60), 'the focus moved midway: the box shows')
            time.sleep(1)
            got = read(f'{work}/second')
            check(300 <= len(got) < len(text) and text.startswith(got), f'the target got {len(got)} characters')
            check(read(f'{work}/second.decoy') == '' and read(f'{work}/first') == text,
                  'the window that took the focus and the earlier target get nothing')
        finally:
            for process in started:
                process.terminate()
                process.wait()
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
