# The log pattern in python3-dbf: open, one record of the 16 fields, close;
# prints the seconds for all appends.
import datetime, sys, time
import dbf

path, count = sys.argv[1], int(sys.argv[2])
fields = ('sentname0 C(30); sentname1 C(30); sentname2 C(30); sentname3 C(30); city C(35); '
        'state C(4); zip C(10); rdate D; mailernum C(27); postage C(15); certified C(15); '
        'restricted C(15); return C(15); total C(15); comments C(35); re C(25)')
dbf.Table(path, fields, dbf_type='db3', codepage='cp437').open(dbf.READ_WRITE).close()
start = time.perf_counter()
for n in range(count):
    table = dbf.Table(path, codepage='cp437')
    table.open(dbf.READ_WRITE)
    table.append(('José Recipient %d' % n, '1200 Main Street', 'Suite 300', '', 'Springfield',
                  'IL', '62701-1234', datetime.date(2026, 12, 8), '9214 7123 4567 8901 2345 67',
                  '     0.73', '     4.40', '', '     3.55', '     8.68', 'Notice of renewal',
                  'Account 4711'))
    table.close()
print('%.3f' % (time.perf_counter() - start))
