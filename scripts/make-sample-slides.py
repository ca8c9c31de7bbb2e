#!/usr/bin/env python3
"""Draws the sample product's slides (our own pictures) with ImageMagick.

Each slide is drawn once at 200 % (1320 x 284*2) and scaled down to the 150,
125 and 100 % folders, for every language folder under sample/language.
Run by hand after changing a tagline; the JPEG files are kept in the tree.
Needs ImageMagick, Liberation Sans and, for Japanese, Droid Sans Fallback.
"""
import os
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
LANGUAGE = os.path.join(HERE, "..", "sample", "language")
LATIN = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"
LATIN_TEXT = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"
CJK = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"
W, H = 1320, 568  # 660 x 284 at 200 %
SCALES = {200: 1.0, 150: 0.75, 125: 0.625, 100: 0.5}

TAGLINES = {
    1033: ["Cut, trim and join your clips in minutes",
           "Titles, transitions and music for every story",
           "Share your films in HD, free of charge"],
    1031: ["Clips in Minuten schneiden, kürzen und verbinden",
           "Titel, Übergänge und Musik für jede Geschichte",
           "Filme in HD teilen, kostenlos"],
    1036: ["Coupez et assemblez vos clips en quelques minutes",
           "Titres, transitions et musique pour chaque histoire",
           "Partagez vos films en HD, gratuitement"],
    1041: ["クリップのカットと結合が数分で",
           "物語にタイトル、トランジション、音楽を",
           "作品を HD で無料で共有"],
}
# Background gradient and accent of each of the three slides.
LOOKS = [("#18191E", "#0B3F57", "#07A5D8"),
         ("#18191E", "#3A1F4F", "#C77DFF"),
         ("#18191E", "#4A2A12", "#FF9F1C")]


def draw(slide, language, target):
    top, bottom, accent = LOOKS[slide]
    font = CJK if language == 1041 else LATIN_TEXT
    cmd = ["convert", "-size", f"{W}x{H}", f"gradient:{top}-{bottom}", "-rotate", "0"]
    # A film strip along the bottom, a play mark and a timeline of clips.
    cmd += ["-fill", "#0E0F12", "-draw", f"rectangle 0,{H - 96} {W},{H - 24}"]
    for x in range(16, W, 56):
        cmd += ["-fill", "#2F3034", "-draw", f"rectangle {x},{H - 88} {x + 28},{H - 76}"]
        cmd += ["-fill", "#2F3034", "-draw", f"rectangle {x},{H - 44} {x + 28},{H - 32}"]
    clip_widths = [(140, 220, 90, 260, 180), (200, 120, 240, 150, 210), (260, 160, 200, 120, 230)][slide]
    x = 24
    for i, width in enumerate(clip_widths):
        shade = accent if i % 2 == 0 else "#707070"
        cmd += ["-fill", shade, "-draw", f"roundrectangle {x},{H - 70} {x + width - 8},{H - 50} 6,6"]
        x += width
    cx, cy = W - 160, 190
    cmd += ["-fill", "none", "-stroke", accent, "-strokewidth", "10",
            "-draw", f"circle {cx},{cy} {cx + 96},{cy}", "-stroke", "none",
            "-fill", accent, "-draw", f"polygon {cx - 32},{cy - 52} {cx - 32},{cy + 52} {cx + 58},{cy}"]
    cmd += ["-font", LATIN, "-pointsize", "96", "-fill", "#FFFFFF", "-annotate", "+64+170", "KAVRO Free"]
    cmd += ["-font", font, "-pointsize", "40", "-fill", "#C8C8C8",
            "-annotate", "+68+250", TAGLINES[language][slide]]
    cmd += ["-fill", accent, "-draw", "rectangle 68,290 268,298"]
    cmd += [target]
    subprocess.run(cmd, check=True)


def main():
    with tempfile.TemporaryDirectory() as work:
        for language in TAGLINES:
            for slide in range(3):
                master = os.path.join(work, f"{language}-{slide}.png")
                draw(slide, language, master)
                for scale, factor in SCALES.items():
                    folder = os.path.join(LANGUAGE, str(language), "slides", str(scale))
                    os.makedirs(folder, exist_ok=True)
                    size = f"{round(W * factor)}x{round(H * factor)}!"
                    subprocess.run(["convert", master, "-resize", size, "-quality", "82",
                                    os.path.join(folder, f"slide{slide + 1}.jpg")], check=True)


if __name__ == "__main__":
    main()
