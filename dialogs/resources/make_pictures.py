#!/usr/bin/python3
"""Draws Kestrel's own pictures: the program banner and the maker's brand
picture (large for the main window, small for the about box).

Run with Debian's Python (python3-pil) from this folder; the PNGs are
committed, so the build does not need PIL."""
from PIL import Image, ImageDraw, ImageFont

FONTS = "/usr/share/fonts/truetype/liberation2/"
NAVY = (20, 40, 110)
RUST = (176, 84, 34)
SKY = (214, 228, 245)
WHITE = (255, 255, 255)


def font(name, size):
    return ImageFont.truetype(FONTS + name, size)


def kestrel(draw, x, y, scale):
    """A kestrel in flight: swept wings, a fanned tail, a small head."""
    def p(px, py):
        return (x + px * scale, y + py * scale)
    wing = [p(0, 10), p(14, 4), p(26, 8), p(40, 0), p(34, 12), p(22, 14)]
    draw.polygon(wing, fill=RUST)
    body = [p(18, 10), p(30, 11), p(36, 15), p(30, 17), p(20, 16)]
    draw.polygon(body, fill=NAVY)
    tail = [p(20, 15), p(10, 22), p(16, 24), p(24, 17)]
    draw.polygon(tail, fill=RUST)
    draw.ellipse([p(33, 11), p(39, 16)], fill=NAVY)
    draw.polygon([p(39, 13), p(42, 14), p(39, 15)], fill=(230, 170, 40))


def gradient(image, top, bottom):
    draw = ImageDraw.Draw(image)
    w, h = image.size
    for row in range(h):
        t = row / max(1, h - 1)
        colour = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
        draw.line([(0, row), (w, row)], fill=colour)
    return draw


def banner():
    image = Image.new("RGB", (257, 57))
    draw = gradient(image, WHITE, SKY)
    kestrel(draw, 6, 8, 1.1)
    draw.text((58, 4), "Kestrel", font=font("LiberationSans-BoldItalic.ttf", 30), fill=NAVY)
    draw.text((60, 38), "Certified Mail Made Simple", font=font("LiberationSans-Bold.ttf", 11),
              fill=RUST)
    draw.rectangle([0, 0, 256, 56], outline=NAVY)
    image.save("banner.png", optimize=True)


def brand(size, name_size, tag_size, file_name):
    w, h = size
    image = Image.new("RGB", size)
    draw = gradient(image, WHITE, (232, 240, 250))
    # Three waves under the name: the "bright water".
    for i, colour in enumerate([(90, 150, 210), (60, 120, 190), NAVY]):
        y0 = h - 14 + i * 4
        points = [(x, y0 + (2 if (x // 12) % 2 else -2)) for x in range(0, w + 12, 12)]
        draw.line(points, fill=colour, width=2, joint="curve")
    name = font("LiberationSerif-Bold.ttf", name_size)
    text_w = draw.textlength("Brightwater", font=name)
    draw.text(((w - text_w) / 2, 2), "Brightwater", font=name, fill=NAVY)
    if tag_size:
        tag = font("LiberationSans-Regular.ttf", tag_size)
        tag_w = draw.textlength("Software for the Mailroom", font=tag)
        draw.text(((w - tag_w) / 2, 2 + name_size + 4), "Software for the Mailroom", font=tag,
                  fill=RUST)
    image.save(file_name, optimize=True)


if __name__ == "__main__":
    banner()
    brand((257, 74), 30, 12, "brand.png")
    brand((197, 41), 24, 0, "brand-small.png")
