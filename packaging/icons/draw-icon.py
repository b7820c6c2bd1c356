#!/usr/bin/python3
"""Draws Kestrel's application icon: the bird of the banner (rust wings, navy
body, yellow beak, flying right) on the banner's pale blue, as a scalable SVG
and as the PNG sizes of the hicolor theme. Run it from this folder after
changing the shapes; the files it writes are kept beside it.
Needs python3-pil."""
from PIL import Image, ImageDraw

NAVY = (20, 40, 110)
RUST = (176, 84, 34)
BEAK = (230, 165, 50)
TOP = (252, 253, 254)
BOTTOM = (216, 229, 245)

# The bird as traced from the banner's picture (banner pixels times eight).
UPPER_WINGS = [(48, 155), (100, 130), (150, 104), (175, 97), (225, 120), (290, 121),
               (330, 98), (372, 78), (405, 64), (392, 92), (376, 130), (352, 160),
               (328, 174), (250, 176), (200, 170), (145, 172), (96, 164)]
LOWER_WING = [(212, 196), (262, 206), (240, 232), (204, 260), (188, 280), (138, 262),
              (172, 238)]
BODY = [(200, 152), (246, 160), (320, 158), (352, 156), (376, 162), (388, 178),
        (388, 196), (376, 207), (350, 208), (320, 205), (246, 203), (214, 190),
        (204, 170)]
BILL = [(386, 180), (428, 184), (428, 191), (386, 195)]
SHAPES = [(UPPER_WINGS, RUST), (LOWER_WING, RUST), (BODY, NAVY), (BILL, BEAK)]

SIZE = 256
SCALE = 0.55
LEFT, TOP_EDGE, RIGHT, BOTTOM_EDGE = 48, 64, 428, 280


def placed(points):
    """Banner coordinates to the 256-unit icon square, the bird centred."""
    dx = (SIZE - (RIGHT - LEFT) * SCALE) / 2 - LEFT * SCALE
    dy = (SIZE - (BOTTOM_EDGE - TOP_EDGE) * SCALE) / 2 - TOP_EDGE * SCALE
    return [(round(x * SCALE + dx, 1), round(y * SCALE + dy, 1)) for x, y in points]


def hex_colour(rgb):
    return '#%02x%02x%02x' % rgb


def write_svg(path):
    parts = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{SIZE}" height="{SIZE}" '
        f'viewBox="0 0 {SIZE} {SIZE}">',
        '  <defs>',
        '    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">',
        f'      <stop offset="0" stop-color="{hex_colour(TOP)}"/>',
        f'      <stop offset="1" stop-color="{hex_colour(BOTTOM)}"/>',
        '    </linearGradient>',
        '  </defs>',
        f'  <rect x="8" y="8" width="{SIZE - 16}" height="{SIZE - 16}" rx="36" '
        f'fill="url(#sky)" stroke="{hex_colour(NAVY)}" stroke-width="10"/>',
    ]
    for points, colour in SHAPES:
        text = ' '.join(f'{x:g},{y:g}' for x, y in placed(points))
        parts.append(f'  <polygon points="{text}" fill="{hex_colour(colour)}" '
                     f'stroke="{hex_colour(colour)}" stroke-width="2" stroke-linejoin="round"/>')
    parts.append('</svg>')
    with open(path, 'w', encoding='utf-8') as out:
        out.write('\n'.join(parts) + '\n')


def draw_png(size, path):
    """Drawn four times larger and scaled down, for smooth edges."""
    big = size * 4
    f = big / SIZE
    image = Image.new('RGBA', (big, big), (0, 0, 0, 0))
    mask = Image.new('L', (big, big), 0)
    ImageDraw.Draw(mask).rounded_rectangle([8 * f, 8 * f, (SIZE - 8) * f, (SIZE - 8) * f],
                                           radius=36 * f, fill=255)
    sky = Image.new('RGBA', (big, big))
    pen = ImageDraw.Draw(sky)
    for y in range(big):
        t = y / (big - 1)
        pen.line([(0, y), (big, y)],
                 fill=tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM)) + (255,))
    image.paste(sky, (0, 0), mask)
    pen = ImageDraw.Draw(image)
    pen.rounded_rectangle([8 * f, 8 * f, (SIZE - 8) * f, (SIZE - 8) * f], radius=36 * f,
                          outline=NAVY + (255,), width=round(10 * f))
    for points, colour in SHAPES:
        pen.polygon([(x * f, y * f) for x, y in placed(points)], fill=colour + (255,))
    image.resize((size, size), Image.LANCZOS).save(path, optimize=True)


if __name__ == '__main__':
    write_svg('kestrel.svg')
    for size in (48, 64, 128, 256):
        draw_png(size, f'kestrel-{size}.png')
