#!/usr/bin/env python3
"""Writes a level source of open fields with a large stock, one level per seed: a walled
board with 150-170 free cells, 1-3 sources, 1-4 targets, 10-14 stocked pieces (deflectors
of every kind, a few walls, crosses or splitters) and an allowance of the whole stock.
Whether a level can be solved, and with how many pieces, is for `lumor-pack solve --fast`
to say; keep the ones whose best needs 2 to 5 pieces.

    open_fields.py FIRST_SEED LAST_SEED > open.lls
    lumor-pack compile open.lls open.llp
"""
import random
import sys

W, H = 20, 12
DEFLECTORS = ["┌", "┐", "┘", "└"]
SOURCES = {">": (1, 0), "v": (0, 1), "<": (-1, 0), "^": (0, -1)}
TARGETS = {(1, 0): "R", (0, 1): "D", (-1, 0): "L", (0, -1): "U"}


def level(seed):
    rng = random.Random(seed)
    board = [["." for _ in range(W)] for _ in range(H)]
    for x in range(W):
        board[0][x] = board[H - 1][x] = "#"
    for y in range(H):
        board[y][0] = board[y][W - 1] = "#"
    inner = [(x, y) for y in range(1, H - 1) for x in range(1, W - 1)]
    rng.shuffle(inner)
    sources = rng.randint(1, 3)
    targets = rng.randint(1, 4)
    for _ in range(sources):
        x, y = inner.pop()
        board[y][x] = rng.choice(list(SOURCES))
    for _ in range(targets):
        x, y = inner.pop()
        board[y][x] = TARGETS[rng.choice(list(TARGETS))]
    free = rng.randint(150, 170)
    while len(inner) > free:
        x, y = inner.pop()
        board[y][x] = rng.choice("####+~")
    stock = {d: 0 for d in DEFLECTORS + ["#", "+", "T"]}
    pieces = rng.randint(10, 14)
    for _ in range(pieces):
        kind = rng.choice(DEFLECTORS * 4 + ["#", "+"] + (["T"] if targets > sources else []))
        stock[kind] += 1
    allowance = pieces
    parts = [str(allowance)] + [f"{k} {n}" for k, n in stock.items() if n]
    return "\n".join(
        [
            f"Level: Offen {seed}",
            f"Passwort: OFFEN{seed}",
            "Vorrat: " + " | ".join(parts),
            "Brett:",
        ]
        + ["".join(row) for row in board]
    )


def main():
    first, last = int(sys.argv[1]), int(sys.argv[2])
    print("Lumor-Levelquelle 1\nTitel: Offene Felder\nAutor: Messung\n")
    for seed in range(first, last + 1):
        print(level(seed) + "\n")


if __name__ == "__main__":
    main()
