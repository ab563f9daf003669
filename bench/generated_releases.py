"""Three client builds of a game shaped like a real one, from a fixed seed.

About 1,500 small files (a few KB to 150 KB), two pak files (25 and 15 MiB)
and a 12 MiB client.exe; about half of every file's 64 KiB blocks are random
bytes, the others low-entropy bytes that compress to about half (a whole
build deflates to about four fifths of its size). Each later build makes
a few small edits inside both pak files, scattered edits in client.exe,
changes 30 small files, adds 5 and deletes 3.
"""
import os
import random

SEED = 28
LARGE_FILES = {'data/pak/world.pak': 25 << 20, 'data/pak/sound.pak': 15 << 20, 'client.exe': 12 << 20}
SMALL_FILES = 1492
CHANGED, ADDED, DELETED = 30, 5, 3
PAK_EDITS, CLIENT_EDITS = 12, 400
BLOCK = 64 << 10
# Bytes drawn from 16 values: what compresses to about half.
LOW_ENTROPY = bytes(0x30 + (value & 0x0f) for value in range(256))


class _Content:
    def __init__(self, rnd):
        self.rnd = rnd

    def bytes(self, size):
        blocks = []
        for start in range(0, size, BLOCK):
            block = self.rnd.randbytes(min(BLOCK, size - start))
            blocks.append(block.translate(LOW_ENTROPY) if self.rnd.random() < 0.5 else block)
        return b''.join(blocks)

    def small_size(self, number):
        return self.rnd.randint(100_000, 150_000) if number % 25 == 0 else self.rnd.randint(2_000, 60_000)

    def edited(self, content, edits, longest):
        """`content` with `edits` runs of up to `longest` bytes replaced."""
        edited = bytearray(content)
        for _ in range(edits):
            length = self.rnd.randint(max(1, longest // 16), longest)
            at = self.rnd.randrange(len(edited) - length)
            edited[at:at + length] = self.bytes(length)
        return bytes(edited)


def _write(folder, files):
    for name, content in files.items():
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as out:
            out.write(content)


def write_releases(versions, codes):
    """Writes one build per package code into `versions` (folders
    CODE-1.0.N); returns each build's file names."""
    rnd = random.Random(SEED)
    content = _Content(rnd)
    files = {name: content.bytes(size) for name, size in LARGE_FILES.items()}
    small = ['data/%02d/file%04d.dat' % (number % 40, number) for number in range(SMALL_FILES)]
    for number, name in enumerate(small):
        files[name] = content.bytes(content.small_size(number))
    names = []
    next_number = SMALL_FILES
    for index, code in enumerate(codes):
        if index:
            for pak in ('data/pak/world.pak', 'data/pak/sound.pak'):
                files[pak] = content.edited(files[pak], PAK_EDITS, 8192)
            files['client.exe'] = content.edited(files['client.exe'], CLIENT_EDITS, 64)
            touched = rnd.sample(small, CHANGED + DELETED)
            for name in touched[:CHANGED]:
                files[name] = content.bytes(len(files[name]))
            for name in touched[CHANGED:]:
                del files[name]
                small.remove(name)
            for number in range(next_number, next_number + ADDED):
                name = 'data/%02d/file%04d.dat' % (number % 40, number)
                files[name] = content.bytes(content.small_size(number))
                small.append(name)
            next_number += ADDED
        _write(os.path.join(versions, '%s-1.0.%d' % (code, index + 1)), files)
        names.append(sorted(files))
    return names
