"""Prints a dBASE table as python3-dbfread reads it, as one JSON object:
fields (name, type, length), the live records in file order and the records
marked deleted, each record a list of its values (memo texts included)."""
import json
import sys

import dbfread

table = dbfread.DBF(sys.argv[1], encoding='cp437', char_decode_errors='strict', lowernames=True)


def text(value):
    # dbfread takes a dBASE IV memo block's length (which counts the block's
    # 8-byte header) as the text's length, and so reads 8 bytes of the
    # block's zero padding after the text.
    return '' if value is None else str(value).rstrip('\x00')


print(json.dumps({
    'fields': [[f.name, f.type, f.length] for f in table.fields],
    'records': [[text(v) for v in r.values()] for r in table],
    'deleted': [[text(v) for v in r.values()] for r in table.deleted],
}))
