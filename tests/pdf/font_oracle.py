#!/usr/bin/env python3
"""An independent reader of TrueType fonts for the PDF writer's tests
(python3-fonttools).

  font_oracle.py glyphs FONT TEXT
      prints, for each character of TEXT, its glyph number in FONT and that
      glyph's advance in font units, one "glyph advance" pair a line.
  font_oracle.py check FONT SUBSET GLYPH...
      checks that SUBSET is FONT cut down to the glyphs named, glyph 0 and
      the parts of composite glyphs, each under its own number: their
      outlines and advances as in FONT, every other glyph up to the last one
      kept empty, nothing after it, and every checksum right. Prints "ok" or
      what is wrong, and exits 1 on a fault.
"""
import sys

from fontTools.ttLib import TTFont


def glyphs(font_path, text):
    font = TTFont(font_path)
    cmap = font.getBestCmap()
    order = font.getGlyphOrder()
    for character in text:
        name = cmap[ord(character)]
        print(order.index(name), font["hmtx"][name][0])


def closure(font, numbers):
    order = font.getGlyphOrder()
    glyf = font["glyf"]
    kept, pending = {0}, list(numbers)
    while pending:
        number = pending.pop()
        if number in kept and number != 0:
            continue
        kept.add(number)
        glyph = glyf[order[number]]
        if glyph.isComposite():
            pending.extend(order.index(c.glyphName) for c in glyph.components)
    return kept


def check(font_path, subset_path, numbers):
    faults = []
    original = TTFont(font_path)
    try:
        subset = TTFont(subset_path, checkChecksums=2)
        subset.ensureDecompiled()
    except Exception as error:  # the subset does not even read
        print(f"unreadable subset: {error}")
        return 1
    kept = closure(original, numbers)
    count = max(kept) + 1
    if subset["maxp"].numGlyphs != count:
        faults.append(f"{subset['maxp'].numGlyphs} glyphs, expected {count}")
    if subset["head"].indexToLocFormat != 1:
        faults.append("short glyph locations")
    old_order, new_order = original.getGlyphOrder(), subset.getGlyphOrder()
    old_glyf, new_glyf = original["glyf"], subset["glyf"]
    for number in range(min(count, len(new_order))):
        old, new = old_glyf[old_order[number]], new_glyf[new_order[number]]
        if number in kept:
            if old.isComposite():
                same = [(c.glyphName and old_order.index(c.glyphName), c.x, c.y) for c in old.components] == \
                       [(new_order.index(c.glyphName), c.x, c.y) for c in new.components]
            else:
                same = old.getCoordinates(old_glyf) == new.getCoordinates(new_glyf) if old.numberOfContours else \
                    new.numberOfContours == 0
            if not same:
                faults.append(f"glyph {number} differs")
            if original["hmtx"][old_order[number]] != subset["hmtx"][new_order[number]]:
                faults.append(f"glyph {number}'s metrics differ")
        elif new.numberOfContours != 0:
            faults.append(f"glyph {number} should be empty")
    print("ok" if not faults else "\n".join(faults))
    return 1 if faults else 0


if __name__ == "__main__":
    if sys.argv[1] == "glyphs":
        glyphs(sys.argv[2], sys.argv[3])
        sys.exit(0)
    sys.exit(check(sys.argv[2], sys.argv[3], [int(n) for n in sys.argv[4:]]))
