#!/usr/bin/env python3
"""Draws the skin images of TSCheck.exe into skin/art/ as 8-bit run-length
coded bitmaps (BMP, BI_RLE8), a format that GDI reads on every Windows from
95 on, so the program needs no picture decoder of the system's to show them.

Needs Python 3 with Pillow (Debian: python3-pil) and the DejaVu fonts
(fonts-dejavu-core). The bitmaps are committed, so the build never runs
this; an artist may replace any file as long as its size and role stay the
same (tools/make_skin_art.py --convert PICTURE... turns any picture Pillow
reads into such a bitmap beside it).

Rules the program relies on:
- magenta RGB(255,0,255) is the see-through colour of the main skin: it is
  used outside the rounded panel and nowhere else, and the panel's edge is
  drawn without smoothing so no pink fringe is left around the window;
- every file is exactly the size the program expects (see SIZES below);
- the pass and fail icons are white where transparent and their masks are
  black on exactly the covered pixels.

Usage: tools/make_skin_art.py [output folder]   (default: skin/art)
       tools/make_skin_art.py --convert PICTURE...
"""
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

MAGENTA = (255, 0, 255)
LOGO_PINK = (255, 0, 190)
WHITE = (255, 255, 255)
NAVY = (16, 52, 96)
BRAND_BLUE = (94, 129, 188)
BAND_TOP = (22, 70, 128)
BAND_BOTTOM = (40, 104, 172)
PANEL = (244, 246, 249)
STRIPE = (233, 238, 245)
RULE = (210, 218, 229)
EDGE = (120, 138, 162)
TEXT_GREY = (105, 105, 107)
HEAD_GREY = (86, 96, 112)
ORANGE = (245, 123, 32)

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


def font(size, bold=False, condensed=False):
    name = "DejaVuSans"
    if condensed:
        name += "Condensed"
    if bold:
        name += "-Bold"
    return ImageFont.truetype(os.path.join(FONT_DIR, name + ".ttf"), size)


def vertical_gradient(draw, box, top, bottom):
    x0, y0, x1, y1 = box
    span = max(1, y1 - y0)
    for y in range(y0, y1 + 1):
        t = (y - y0) / span
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        draw.line([(x0, y), (x1, y)], fill=colour)


def centred_text(draw, box, text, face, fill):
    x0, y0, x1, y1 = box
    left, top, right, bottom = draw.textbbox((0, 0), text, font=face)
    x = x0 + (x1 - x0 + 1 - (right - left)) / 2 - left
    y = y0 + (y1 - y0 + 1 - (bottom - top)) / 2 - top
    draw.text((round(x), round(y)), text, font=face, fill=fill)


def shield(draw, x, y, scale, body, tick):
    """The suite's shield with a tick, top-left corner at (x, y)."""
    points = [(0, 2), (8, 0), (16, 2), (16, 10), (14, 15), (8, 20), (2, 15), (0, 10)]
    draw.polygon([(x + px * scale, y + py * scale) for px, py in points], fill=body)
    draw.line([(x + 4 * scale, y + 10 * scale), (x + 7 * scale, y + 13.5 * scale),
               (x + 12.5 * scale, y + 5.5 * scale)], fill=tick, width=max(2, round(1.8 * scale)))


def logo(draw, x, y, on_dark):
    """Shield plus "Tavrin Secure" lettering."""
    shield(draw, x, y, 1.6, WHITE if on_dark else BRAND_BLUE, BRAND_BLUE if on_dark else WHITE)
    word_colour = WHITE if on_dark else NAVY
    accent = (255, 196, 140) if on_dark else ORANGE
    draw.text((x + 34, y + 1), "Tavrin", font=font(22, bold=True), fill=word_colour)
    width = draw.textlength("Tavrin", font=font(22, bold=True))
    draw.text((x + 40 + width, y + 1), "Secure", font=font(22), fill=accent)


def rounded_mask(size, box, radius):
    """A hard-edged (1-bit) rounded rectangle: no smoothing against magenta."""
    mask = Image.new("1", size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius=radius, fill=1)
    return mask


def to_palette(image, keep=()):
    """Quantises to a palette without dithering; colours in `keep` stay exact
    (each gets its own palette entry) and flat areas stay flat."""
    image = image.convert("RGB")
    pixels = image.load()
    width, height = image.size
    exact = {colour: [] for colour in keep}
    for y in range(height):
        for x in range(width):
            colour = pixels[x, y]
            if colour in exact:
                exact[colour].append((x, y))
    # Quantise what is left; the exact pixels are painted over afterwards.
    quantised = image.quantize(colors=256 - len(keep), method=Image.Quantize.MEDIANCUT,
                               dither=Image.Dither.NONE)
    palette = quantised.getpalette()[: 3 * (256 - len(keep))]
    palette += [0] * (3 * (256 - len(keep)) - len(palette))
    # A quantised colour that happens to equal a kept one would also turn
    # see-through; nudge it by one step.
    for i in range(0, len(palette), 3):
        if tuple(palette[i:i + 3]) in exact:
            palette[i + 1] = min(255, palette[i + 1] + 1)
    indices = {}
    for n, colour in enumerate(keep):
        indices[colour] = 256 - len(keep) + n
        palette += list(colour)
    quantised.putpalette(palette)
    out = quantised.load()
    for colour, places in exact.items():
        for x, y in places:
            out[x, y] = indices[colour]
    return quantised


def rle8_row(row):
    """One scan line in BI_RLE8: runs of a repeated index as (count, index),
    stretches of differing indices in absolute mode (0, count, indices,
    padded to a word), ended by the end-of-line escape (0, 0)."""
    out = bytearray()
    i, n = 0, len(row)
    while i < n:
        run = 1
        while i + run < n and run < 255 and row[i + run] == row[i]:
            run += 1
        if run >= 2:
            out += bytes((run, row[i]))
            i += run
            continue
        # A literal stretch ends where a run of two or more begins.
        j = i + 1
        while j < n and j - i < 255 and not (j + 1 < n and row[j] == row[j + 1]):
            j += 1
        literal = row[i:j]
        if len(literal) < 3:  # absolute mode needs three or more
            for index in literal:
                out += bytes((1, index))
        else:
            out += bytes((0, len(literal))) + bytes(literal)
            if len(literal) % 2:
                out.append(0)
        i = j
    return out + b"\0\0"


def rle8_bitmap(indexed):
    """A BMP file (BITMAPFILEHEADER, BITMAPINFOHEADER, palette, BI_RLE8
    data, rows bottom-up) of a palette image."""
    width, height = indexed.size
    palette = indexed.getpalette()[: 3 * 256]
    pixels = indexed.tobytes()
    # Only the colours the picture uses go into its palette, in their order:
    # most pictures use a few, and a full palette costs a kilobyte each.
    used = sorted(set(pixels))
    compact = bytes(used.index(i) if i in used else 0 for i in range(256))
    pixels = pixels.translate(compact)
    palette = [c for i in used for c in palette[3 * i:3 * i + 3]]
    colours = len(used)
    data = bytearray()
    for y in range(height - 1, -1, -1):
        data += rle8_row(pixels[y * width:(y + 1) * width])
    data[-2:] = b"\0\1"  # the last end of line becomes the end of the bitmap
    quads = b"".join(bytes((palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0))
                     for i in range(colours))
    offset = 14 + 40 + len(quads)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(data), 2835, 2835,
                       colours, 0)
    return header + info + quads + bytes(data)


def save(folder, name, image, keep=()):
    with open(os.path.join(folder, name + ".bmp"), "wb") as out:
        out.write(rle8_bitmap(to_palette(image, keep)))


def convert(paths):
    """Any picture Pillow reads, as a run-length coded bitmap beside it; a
    palette picture keeps its palette and indices, so no pixel changes.
    Transparent pixels take their palette colour (the skin's are white)."""
    for path in paths:
        image = Image.open(path)
        if image.mode != "P":
            image = to_palette(image)
        with open(os.path.splitext(path)[0] + ".bmp", "wb") as out:
            out.write(rle8_bitmap(image))


# ---- main window -------------------------------------------------------

MAIN_SIZE = (588, 410)
ROW_TOPS = [118, 150, 184, 217, 250]
ROW_NAMES = ["Operating System", "Admin Rights", "Processor Speed *", "Memory",
             "Free Disk Space"]


def main_skin():
    image = Image.new("RGB", MAIN_SIZE, MAGENTA)
    panel = Image.new("RGB", MAIN_SIZE, PANEL)
    draw = ImageDraw.Draw(panel)
    box = (2, 2, 585, 407)
    # Title band with the logo and the heading.
    vertical_gradient(draw, (2, 2, 585, 68), BAND_TOP, BAND_BOTTOM)
    draw.line([(2, 69), (585, 69)], fill=ORANGE, width=3)
    logo(draw, 24, 16, on_dark=True)
    draw.text((314, 26), "MINIMUM REQUIREMENTS", font=font(14, bold=True), fill=WHITE)
    # Column heads.
    heads = font(11, bold=True)
    for x, text in [(26, "TEST"), (177, "NEED"), (352, "HAVE")]:
        draw.text((x, 86), text, font=heads, fill=HEAD_GREY)
    centred_text(draw, (505, 86, 564, 98), "PASS?", heads, HEAD_GREY)
    draw.line([(20, 104), (567, 104)], fill=RULE)
    # Rows: a light stripe on every other row, the row name on the left.
    names = font(11, bold=True)
    for i, top in enumerate(ROW_TOPS):
        icon_top = 111 + 34 * i
        if i % 2 == 0:
            draw.rectangle([(20, icon_top - 4), (567, icon_top + 23)], fill=STRIPE)
        draw.text((26, top), ROW_NAMES[i], font=names, fill=NAVY)
    draw.line([(20, 274), (567, 274)], fill=RULE)
    draw.text((26, 280), "* Processor speed is based on total calculations per second of all "
              "processors.", font=font(9), fill=TEXT_GREY)
    # y 300 to 340 stays clear for the program's message, the big button sits
    # at (222, 347); the footer line closes the panel.
    draw.line([(20, 391), (567, 391)], fill=RULE)
    draw.text((26, 394), "Tavrin Internet  \u2022  Tavrin Secure Requirements Check",
              font=font(8), fill=(150, 156, 166))
    draw.text((505, 394), "tavrin.net", font=font(8), fill=(150, 156, 166))
    image.paste(panel, (0, 0), rounded_mask(MAIN_SIZE, box, 18))
    ImageDraw.Draw(image).rounded_rectangle(box, radius=18, outline=EDGE, width=1)
    return image


def default_skin():
    image = Image.new("RGB", (354, 412), (205, 205, 205))
    draw = ImageDraw.Draw(image)
    vertical_gradient(draw, (0, 0, 353, 44), (150, 150, 154), (120, 120, 126))
    centred_text(draw, (0, 0, 353, 44), "MINIMUM REQUIREMENTS", font(15, bold=True), WHITE)
    draw.rectangle([(0, 0), (353, 411)], outline=(110, 110, 116))
    return image


def logo_strip():
    image = Image.new("RGB", (131, 18), LOGO_PINK)
    draw = ImageDraw.Draw(image)
    centred_text(draw, (0, 0, 130, 17), "TAVRIN INTERNET", font(11, bold=True), WHITE)
    return image


# ---- message box ---------------------------------------------------------

MSG_SIZE = (374, 194)


def message_body(with_logo):
    image = Image.new("RGB", MSG_SIZE, WHITE)
    draw = ImageDraw.Draw(image)
    if with_logo:
        vertical_gradient(draw, (0, 0, 373, 44), BAND_TOP, BAND_BOTTOM)
        draw.line([(0, 45), (373, 45)], fill=ORANGE, width=2)
        shield(draw, 14, 8, 1.35, WHITE, BRAND_BLUE)
        draw.text((42, 10), "Tavrin", font=font(17, bold=True), fill=WHITE)
        width = draw.textlength("Tavrin", font=font(17, bold=True))
        draw.text((47 + width, 10), "Secure", font=font(17), fill=(255, 196, 140))
        draw.text((196, 15), "MINIMUM REQUIREMENTS", font=font(11, bold=True), fill=WHITE)
    else:
        vertical_gradient(draw, (0, 0, 373, 44), (176, 178, 184), (148, 150, 158))
        draw.line([(0, 45), (373, 45)], fill=(120, 122, 130), width=2)
    draw.line([(12, 152), (361, 152)], fill=(228, 231, 236))
    draw.rectangle([(0, 0), (373, 193)], outline=EDGE)
    return image


def flat_button(size, caption, face, edge, text, behind, caption_font, radius=4):
    image = behind.copy()
    draw = ImageDraw.Draw(image)
    width, height = size
    draw.rounded_rectangle([(0, 0), (width - 1, height - 1)], radius=radius, fill=edge)
    draw.rounded_rectangle([(2, 2), (width - 3, height - 3)], radius=max(1, radius - 2), fill=face)
    centred_text(draw, (0, 0, width - 1, height - 1), caption, caption_font, text)
    return image


MESSAGE_BUTTONS = [("no", "NO"), ("yes", "YES"), ("yestoall", "YES TO ALL"),
                   ("notoall", "NO TO ALL"), ("cancel", "CANCEL"), ("abort", "ABORT"),
                   ("retry", "RETRY"), ("ignore", "IGNORE"), ("ok", "OK"), ("help", "HELP")]


def message_buttons(folder):
    behind = Image.new("RGB", (81, 25), WHITE)
    face = (243, 244, 246)
    for key, caption in MESSAGE_BUTTONS:
        caption_font = font(10, bold=True, condensed=len(caption) > 6)
        save(folder, "msgbtn_" + key,
             flat_button((81, 25), caption, face, (160, 164, 170), (60, 64, 72), behind,
                         caption_font))
        save(folder, "msgbtn_" + key + "over",
             flat_button((81, 25), caption, face, ORANGE, (60, 64, 72), behind, caption_font))


def main_buttons(folder, skin):
    big = skin.crop((222, 347, 222 + 145, 347 + 38))
    small = skin.crop((541, 12, 541 + 32, 12 + 32))
    normal, light = (34, 104, 184), (84, 150, 222)
    for key, caption in [("run", "RUN SETUP"), ("bigclose", "CLOSE")]:
        save(folder, "btn_" + key, flat_button((145, 38), caption, normal, (20, 70, 130), WHITE,
                                                 big, font(13, bold=True), radius=6))
        save(folder, "btn_" + key + "over", flat_button((145, 38), caption, light,
                                                          (40, 100, 170), WHITE, big,
                                                          font(13, bold=True), radius=6))
    for key, face, edge in [("close", normal, (12, 44, 92)), ("closeover", light, (20, 70, 130))]:
        save(folder, "btn_" + key,
             flat_button((32, 32), "X", face, edge, WHITE, small, font(14, bold=True), radius=6))


# ---- result icons --------------------------------------------------------

def icon_with_mask(kind):
    """A 20 x 20 badge, drawn at four times the size and reduced; the mask
    marks every pixel the reduced badge covers."""
    scale = 4
    size = 20 * scale
    coverage = Image.new("L", (size, size), 0)
    ImageDraw.Draw(coverage).ellipse([(1 * scale, 1 * scale), (19 * scale - 1, 19 * scale - 1)],
                                     fill=255)
    colour = (46, 160, 67) if kind == "pass" else (214, 48, 49)
    art = Image.new("RGB", (size, size), colour)
    draw = ImageDraw.Draw(art)
    if kind == "pass":
        draw.line([(5.5 * scale, 10.5 * scale), (8.5 * scale, 13.5 * scale),
                   (14.5 * scale, 6.5 * scale)], fill=WHITE, width=int(2.4 * scale))
    else:
        for a, b in [((6, 6), (14, 14)), ((14, 6), (6, 14))]:
            draw.line([(a[0] * scale, a[1] * scale), (b[0] * scale, b[1] * scale)], fill=WHITE,
                      width=int(2.4 * scale))
    small_art = art.resize((20, 20), Image.Resampling.LANCZOS)
    small_cover = coverage.resize((20, 20), Image.Resampling.BOX)
    icon = Image.new("RGB", (20, 20), WHITE)
    mask = Image.new("RGB", (20, 20), WHITE)
    for y in range(20):
        for x in range(20):
            alpha = small_cover.getpixel((x, y))
            if alpha >= 96:
                # Edge pixels blend towards the panel's stripe colour so the
                # badge sits smoothly on it; never exactly white.
                a = alpha / 255
                pixel = tuple(round(c * a + s * (1 - a))
                              for c, s in zip(small_art.getpixel((x, y)), STRIPE))
                if pixel == WHITE:
                    pixel = (254, 254, 254)
                icon.putpixel((x, y), pixel)
                mask.putpixel((x, y), (0, 0, 0))
    return icon, mask


def result_icons(folder):
    for kind in ("pass", "fail"):
        icon, mask = icon_with_mask(kind)
        save(folder, kind + "_icon", icon, keep=(WHITE,))
        save(folder, kind + "_mask", mask, keep=((0, 0, 0), WHITE))


def main(argv):
    if len(argv) > 1 and argv[1] == "--convert":
        convert(argv[2:])
        return
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = argv[1] if len(argv) > 1 else os.path.join(root, "skin", "art")
    os.makedirs(folder, exist_ok=True)
    skin = main_skin()
    save(folder, "bg_tavrinsecure", skin, keep=(MAGENTA,))
    save(folder, "bg_default", default_skin())
    save(folder, "bg_text", logo_strip(), keep=(LOGO_PINK,))
    save(folder, "msgbg_plain", message_body(False))
    save(folder, "msgbg_logo", message_body(True))
    main_buttons(folder, skin)
    message_buttons(folder)
    result_icons(folder)


if __name__ == "__main__":
    main(sys.argv)
