#!/usr/bin/python3
# Writes the BIFF workbooks the import tests read (Debian: python3-xlwt). Run it here after a
# change and commit the .xls files with it; the tests never run it.
import xlwt

book = xlwt.Workbook(encoding='utf-8')
sheet = book.add_sheet('商品清单')
rows = [
    ['商品清单（2026年）'],
    ['货号', '品名', '规格', '单位', '售价', '备注'],
    ['0012', '水杯', '500ml', '个', 12.5, ''],
    [12, '饭盒', '三层', '个', 3, '不锈钢'],
    ['A-7', '毛巾', '', '条', '十二', ''],
    ['0012', '水杯二', '', '个', 13, ''],
    ['B-1', '', '', '个', 1, ''],
    ['C-3', '抹布', '', '块', 0.1, ''],
]
for r, row in enumerate(rows):
    for c, value in enumerate(row):
        if value != '':
            sheet.write(r, c, value)
notes = book.add_sheet('说明')
notes.write(0, 0, '价格含税')
book.save('goods.xls')
