#!/usr/bin/python3
"""The anchor of the Mass Print benchmark: reportlab writing the same 1,000
mailers as the benchmark prints (the sender, the recipient, the mailer number
as text, its two Code 128 symbols and the POSTNET bar code of the ZIP Code),
upside down on a letter sheet, all as one PDF. Prints "mailers_per_s=N".

Usage: anchor_mailers.py OUTPUT.pdf [COUNT]
"""
import sys
import time

from reportlab.graphics.barcode import code128, usps
from reportlab.lib.pagesizes import letter
from reportlab.pdfgen import canvas

SENDER = ["Sender Name", "123 Main St", "Suite 4", "Springfield, IL 62701", ""]
CUSTOMER_ID = "123456789"


def check_digit(digits):
    """GS1 mod 10: weights 3 and 1 from the right."""
    total = sum(int(d) * (3 if i % 2 == 0 else 1) for i, d in enumerate(reversed(digits)))
    return str((10 - total % 10) % 10)


def mailer_number(prefix, serial):
    body = prefix + CUSTOMER_ID + "%07d" % serial
    return body + check_digit(body)


def grouped(number):
    return " ".join(number[i:i + 4] for i in range(0, len(number), 4))


def draw_mailer(pdf, index):
    serial = index + 1
    t_number = mailer_number("92147", serial)
    f_number = mailer_number("92909", serial)
    recipient = ["Recipient %d" % serial, "c/o Acme", "456 Oak Ave", "Springfield IL 62701-1234"]
    width, height = letter
    pdf.saveState()
    # The mailer is printed upside down on the sheet.
    pdf.translate(width, height)
    pdf.rotate(180)
    pdf.setFont("Helvetica", 8)
    for copy, (x, y) in enumerate(((40, 700), (320, 700), (40, 420))):
        for line, text in enumerate(SENDER):
            pdf.drawString(x, y - 10 * line, text)
    pdf.setFont("Helvetica", 10)
    for copy, (x, y) in enumerate(((300, 560), (40, 300))):
        for line, text in enumerate(recipient):
            pdf.drawString(x, y - 12 * line, text)
    pdf.setFont("Courier", 9)
    for x, y, number in ((45, 600, t_number), (340, 520, f_number), (170, 160, t_number),
                         (170, 40, f_number)):
        pdf.drawString(x, y - 12, grouped(number))
    for x, y, number, bar_height in ((45, 600, t_number, 54), (340, 520, f_number, 54)):
        code128.Code128(number, barHeight=bar_height, barWidth=0.9).drawOn(pdf, x, y)
    usps.POSTNET("62701").drawOn(pdf, 40, 250)
    pdf.restoreState()
    pdf.showPage()


def main():
    output = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    start = time.perf_counter()
    pdf = canvas.Canvas(output, pagesize=letter)
    for index in range(count):
        draw_mailer(pdf, index)
    pdf.save()
    seconds = time.perf_counter() - start
    print("mailers_per_s=%.1f" % (count / seconds))


if __name__ == "__main__":
    main()
