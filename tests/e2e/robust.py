"""The program keeps working, and says nothing of its own, when its surroundings are poor: e2e.py's robustness suite.

Each case copies the program into a fresh directory with or without its files, starts it on a private Xvfb,
opens the help contents, wins a 5 × 5 game, plays on and copies the move list, then closes the board window.
"""

import os
import shutil
import tempfile

import rules
from driver import Program
from sessions import XServer
from waits import check

HELP_TITLE = "トリピン ヘルプ"

# name: (files beside the program, screen size, environment)
SOUND = "libtoripin_sound.so"  # the sound player, loaded when a game is won
CASES = {
    "everything": ({"tori.hlp", "tada.wav", SOUND}, (1280, 1024), {}),
    "no_help_file": ({"tada.wav", SOUND}, (1280, 1024), {}),
    "broken_help_file": ({"tada.wav", "broken tori.hlp", SOUND}, (1280, 1024), {}),
    "no_sound_file": ({"tori.hlp", SOUND}, (1280, 1024), {}),
    "no_sound_player": ({"tori.hlp", "tada.wav"}, (1280, 1024), {}),
    "broken_sound_player": ({"tori.hlp", "tada.wav", "broken " + SOUND}, (1280, 1024), {}),
    "no_audio_device": ({"tori.hlp", "tada.wav", SOUND}, (1280, 1024),
                        {"PULSE_SERVER": "unix:/nonexistent", "ALSA_CONFIG_PATH": "/nonexistent",
                         "AUDIODEV": "/nonexistent"}),
    "lang_c": ({"tori.hlp", "tada.wav", SOUND}, (1280, 1024), {"LANG": "C", "LC_ALL": "C", "LANGUAGE": ""}),
    "lang_ja": ({"tori.hlp", "tada.wav", SOUND}, (1280, 1024),
                {"LANG": "ja_JP.UTF-8", "LC_ALL": "ja_JP.UTF-8", "LANGUAGE": "ja"}),
    "small_screen": ({"tori.hlp", "tada.wav", SOUND}, (320, 240), {}),
}


def install(binary, files, into):
    shutil.copy2(binary, into)
    source = os.path.dirname(binary)
    for name in files:
        if name.startswith("broken "):
            with open(os.path.join(into, name.split(" ", 1)[1]), "wb") as broken:
                broken.write(b"\x00\xffnot a help file\x89PNG\r\n" * 50)
        else:
            shutil.copy2(os.path.join(source, name), into)
    return os.path.join(into, os.path.basename(binary))


def no_box(program, when):
    check(program.alive(), f"the program ended {when}")
    boxes = program.message_boxes()
    check(not boxes, f"a message box came up {when}")


def surface_offset(binary):
    """Where the board surface starts inside the board window, measured on a screen it fits on."""
    xs = XServer()
    try:
        program = Program(xs, binary, cwd=os.path.dirname(binary)).start()
        x, y = xs.origin(program.board_window)
        offset = (program.surface[0] - x, program.surface[1] - y)
        program.stop()
        return offset
    finally:
        xs.close()


def run_case(name, xs, binary, offset):
    files, _, env = CASES[name]
    directory = tempfile.mkdtemp(prefix=f"toripin-{name}-")
    program = None
    try:
        copy = install(binary, files, directory)
        program = Program(xs, copy, cwd=directory, log=os.path.join(directory, "output.txt"), **env)
        program.start(offset=offset)
        program.sync()
        no_box(program, "at start")

        # The help contents open in the help viewer, which may say itself that the file is missing or broken.
        program.focus()
        xs.menu_keys("alt+h", "c")
        viewer = xs.wait_window(HELP_TITLE, 5)
        program.sync()
        no_box(program, "after the help contents")
        xs.close_request(viewer[0])
        xs.wait_for(lambda: not xs.titled(HELP_TITLE), 5, "the help viewer to close")
        check(program.alive(), "closing the help viewer ended the program")

        n = 5
        game = rules.winning_game(n)
        program.choose_size(n)
        pins = program.play_game(n, game[:-1])
        no_box(program, "during the game")
        program.move(n, game[-1], pins)
        program.answer("alt+y")
        check(program.alive(), "the program ended on はい")
        program.expect_board(n, rules.start_position(n))
        no_box(program, "after はい")

        program.move(n, game[0], rules.start_position(n))
        program.menu("c")
        expected_line = "\r\n\r\n" + rules.record_line(1, game[0], n)
        text = xs.wait_for(xs.clipboard, 5, "the copied move list")
        check(text.startswith("プレイ日: ") and text.endswith("\r\n桁数: 5桁 " + expected_line)
              and text.count("\r\n") == 3, f"the clipboard holds {text!r}")
        no_box(program, "after copying")

        program.close()
    finally:
        if program:
            program.stop()
        shutil.rmtree(directory, ignore_errors=True)


def runs(binary):
    """Each case on an Xvfb of its screen size."""
    offset = surface_offset(binary)
    return [(name, lambda size=size: XServer(*size), lambda xs, binary, name=name: run_case(name, xs, binary, offset))
            for name, (_, size, _) in CASES.items()]
