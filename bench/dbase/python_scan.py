# A sequential scan reading every field with python3-dbfread; prints seconds.
import sys, time
import dbfread

start = time.perf_counter()
total = 0
for record in dbfread.DBF(sys.argv[1], encoding='cp437'):
    for value in record.values():
        total += 1
print('%.3f' % (time.perf_counter() - start))
