"""The log report's anchor: the Short Detail report written by Python.

dbfread reads the mailing log, the records are sorted by the first
recipient line (as By Name orders them), and reportlab's canvas writes the
same page as Kestrel's shipped layout: the title with "Page N of M", the
parameter line, the bold headings and a rule, 72 rows of the same 9 columns
a page (fees right-aligned), and after the last record a rule, the column
sums and the count.

The font is the PDF's built-in Helvetica, which has Arial's widths and which
reportlab writes fastest: nothing is embedded. With --embed it is the font
Kestrel's "Arial" resolves to (Liberation Sans), embedded as a subset as
Kestrel embeds it; that takes reportlab about 15 % longer, so the benchmark
sets Kestrel against the faster form.

Usage: anchor_report.py [--embed] LOG.dbf OUT.pdf; prints the seconds it
took (from the log's reading to the PDF's last byte), real and on the CPU.
"""

import sys
import time
from decimal import Decimal

from dbfread import DBF
from reportlab.lib.units import inch
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

FONT_FOLDER = "/usr/share/fonts/truetype/liberation2/"
SIZE = 7.5
LINE = SIZE * 1.25
TITLE = (SIZE + 4) * 1.25
RULE_SPACE = 4
PAGE_WIDTH, PAGE_HEIGHT = 8.5 * inch, 11 * inch
MARGIN = 0.5 * inch

# field, left and width in inches from the left margin, heading, right-aligned and summed
COLUMNS = [
    ("RDATE", 0.00, 0.65, "Date", False),
    ("MAILERNUM", 0.70, 1.50, "Mailer Number", False),
    ("SENTNAME0", 2.25, 1.75, "Recipient", False),
    ("ZIP", 4.05, 0.70, "ZIP Code", False),
    ("POSTAGE", 4.75, 0.55, "Postage", True),
    ("CERTIFIED", 5.30, 0.55, "Certified", True),
    ("RESTRICTED", 5.85, 0.55, "Restricted", True),
    ("RETURN", 6.40, 0.55, "Return", True),
    ("TOTAL", 6.95, 0.55, "Total", True),
]


def cell_text(record, field):
    value = record[field]
    if value is None:
        return ""
    if field == "RDATE":
        return f"{value.month:02}/{value.day:02}/{value.year}"
    return value.strip()


def amount(text):
    try:
        return Decimal(text), len(text.partition(".")[2])
    except ArithmeticError:
        return None, 0


def draw_row(pdf, texts, baseline, font):
    pdf.setFont(font, SIZE)
    for (field, left, width, heading, right), text in zip(COLUMNS, texts):
        x = MARGIN + left * inch
        if right:
            pdf.drawRightString(x + width * inch, baseline, text)
        else:
            pdf.drawString(x, baseline, text)


def main():
    args = sys.argv[1:]
    embed = "--embed" in args
    log_path, out_path = [a for a in args if a != "--embed"]
    start, start_cpu = time.perf_counter(), time.process_time()
    if embed:
        pdfmetrics.registerFont(TTFont("Body", FONT_FOLDER + "LiberationSans-Regular.ttf"))
        pdfmetrics.registerFont(TTFont("Bold", FONT_FOLDER + "LiberationSans-Bold.ttf"))
        body, bold = "Body", "Bold"
    else:
        body, bold = "Helvetica", "Helvetica-Bold"

    records = list(DBF(log_path, encoding="cp437"))
    records.sort(key=lambda r: r["SENTNAME0"])

    per_page = 72
    pages = max(1, -(-len(records) // per_page))
    sums = [None] * len(COLUMNS)  # None: no record has a number in the column
    decimals = [0] * len(COLUMNS)
    right_edge = PAGE_WIDTH - MARGIN
    pdf = canvas.Canvas(out_path, pagesize=(PAGE_WIDTH, PAGE_HEIGHT))
    pdf.setLineWidth(0)
    for page in range(pages):
        y = PAGE_HEIGHT - MARGIN
        pdf.setFont(bold, SIZE + 4)
        pdf.drawString(MARGIN, y - TITLE * 0.75, "Mailing Log - Short Detail")
        pdf.setFont(body, SIZE)
        pdf.drawRightString(right_edge, y - TITLE * 0.75, f"Page {page + 1} of {pages}")
        y -= TITLE
        pdf.drawString(MARGIN, y - LINE * 0.75, "Date Printed: now")
        y -= LINE * 1.5
        draw_row(pdf, [c[3] for c in COLUMNS], y - LINE * 0.75, bold)
        y -= LINE + 1
        pdf.line(MARGIN, y, right_edge, y)
        y -= 3
        for record in records[page * per_page:(page + 1) * per_page]:
            texts = [cell_text(record, c[0]) for c in COLUMNS]
            for i, column in enumerate(COLUMNS):
                if column[4] and texts[i]:
                    value, places = amount(texts[i])
                    if value is not None:
                        sums[i] = value if sums[i] is None else sums[i] + value
                        decimals[i] = max(decimals[i], places)
            draw_row(pdf, texts, y - LINE * 0.75, body)
            y -= LINE
        if page == pages - 1:
            y -= 1
            pdf.line(MARGIN, y, right_edge, y)
            y -= 3
            totals = ["" if s is None else f"{s:.{d}f}" for s, d in zip(sums, decimals)]
            draw_row(pdf, totals, y - LINE * 0.75, bold)
            y -= LINE
            pdf.setFont(body, SIZE)
            pdf.drawString(MARGIN, y - LINE * 0.75, f"Mailers: {len(records)}")
        pdf.showPage()
    pdf.save()
    print(f"{time.perf_counter() - start:.3f} {time.process_time() - start_cpu:.3f}")


if __name__ == "__main__":
    main()
