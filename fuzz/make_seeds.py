#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/ (run it again after a change)."""
import os, struct, datetime
root=os.path.join(os.path.dirname(os.path.abspath(__file__)), 'corpus')
def oem(s): return s.encode('cp866')
def art84(code, bar, group, name):
    l = code.ljust(13)[:13].encode() + b' ' + bar.ljust(13)[:13].encode() + b' '*13 + group.rjust(2)[:2].encode() + b'  ' + oem(name).ljust(40)[:40]
    assert len(l)==84; return l
def art87(code, bar, group, name):
    l = code.ljust(13).encode() + b'  ' + bar.ljust(13).encode() + b'  ' + group.rjust(2).encode() + b' '*16 + oem(name).ljust(39)[:39]
    assert len(l)==87; return l
def stock(code, q, p):
    l = code.ljust(13).encode() + b' '*40 + q.rjust(6)[:6].encode() + b' ' + p.rjust(7)[:7].encode() + b' '*11
    assert len(l)==78; return l
def w(sub, name, data):
    open(os.path.join(root, sub, name), 'wb').write(data)
A=[art84('1','4600000000017','2','Кофе 3в1'), art87('2','','12','Чай чёрный'), art84('3','','1','Масло 5W-40'), art84('15','','99','═══╬═══')]
S=[stock('1','5','12.5'), stock('2','-3','0'), stock('3','1.25','1E300'), stock('15','2,5','0.00015'), stock('99','1','1')]
w('import','pair_crlf', b'\x00' + b'\r\n'.join(A) + b'\r\n%%PRINT%%' + b'\r\n'.join(S[:2]+S[3:]) + b'\r\n')
w('import','no_stock', b'\x05' + b'\n'.join(A) )
w('import','cr_only_breaks', b'\x3c' + b'\r'.join(A) + b'%%PRINT%%' + b'\r'.join(S))
w('import','zero_inside', b'\x41' + A[0] + b'\r\n' + A[1] + b'\x00' + A[2] + b'%%PRINT%%' + S[0] + b'\x00' + S[1])
w('import','big_price', b'\x40' + A[0] + b'\r\n%%PRINT%%' + stock('1','1','1E9') + b'\r\n')
w('import','counter_end', b'\x0c' + A[1] + b'\r\n' + A[2] + b'\r\n')
# dbf files
def dbf(fields, records, ldid=0x26, date=(126,12,7), count=None):
    hlen = 32*(len(fields)+1)+1
    rlen = 1+sum(f[2] for f in fields)
    h = struct.pack('<B3BIHH17xB2x', 3, *date, len(records) if count is None else count, hlen, rlen, ldid)
    d = b''
    for n,t,l,dec in fields:
        d += n.encode().ljust(11, b'\0') + t.encode() + b'\0'*4 + bytes([l, dec]) + b'\0'*14
    body = b''.join(b' ' + r for r in records)
    return h + d + b'\r' + body + b'\x1a'
F=[('CATEGORY','C',20,0),('ID','C',15,0),('NAME','C',50,0),('KOLVO','N',10,2),('ZPRICE','N',10,2),('RPRICE','N',10,2)]
rec = oem('Группа 2').ljust(20) + b'4600000000017  ' + oem('Кофе').ljust(50) + b'      2.00' + b'     12.50' + b'     12.50'
w('dbf_open','receipt_one_record', b'\x00' + dbf(F,[rec]))
w('dbf_open','receipt_empty_exclusive', b'\x01' + dbf(F,[]))
w('dbf_open','receipt_change_first', b'\x02' + dbf(F,[rec, rec]))
w('dbf_open','bad_date', b'\x02' + dbf(F,[rec], date=(126,13,40)))
w('dbf_open','count_too_big', b'\x00' + dbf(F,[rec], count=3))
w('dbf_open','one_logical_field', b'\x02' + dbf([('OK','L',1,0)],[b'T']))
w('dbf_open','no_eof', b'\x00' + dbf([('D','D',8,0)],[b'20261207'])[:-1])
# setfielddata: FuzzedDataProvider takes integers from the end, so seeds are just varied bytes
import random
random.seed(7)
vals=[b'12.5', b'-0.125', b'2.675', b'1E3', b'abc', b'TRUE', b'07.12.26', b'   ', b'9999999.99', b'\x8a\xae\xe4\xa5']
for i in range(8):
    data = b''.join(bytes([random.randrange(256)]) + v + b'\\' for v in vals[i:]+vals[:i])
    w('setfielddata', 'mix%d' % i, data + bytes(random.randrange(256) for _ in range(24)))
# numbers
for i,t in enumerate([b'12.5', b'  -0.00005 ', b'0.00015', b'1E300', b'$7FFFFFFF', b'-$80000000', b'0x1F', b'2,5', b'  +12  ', b'1e-400', b'922337203685477.5807', b'.5', b'5.', b'2147483648', b'\x00\x00\x00\x00\x00\x00\xf0\x3f']):
    w('numbers', 'n%02d' % i, t)
