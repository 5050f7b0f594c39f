#!/usr/bin/python3
"""The vCard and iCalendar output of quillet-cli read by independent strict readers (python3-vobject with
validation, python3-icalendar): every card with its UID and photo, every calendar event whole.
Usage: check_exchange_formats.py QUILLET_CLI TEST_DATA_DIR"""
import base64
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import uuid

import icalendar
import vobject

cli, data = sys.argv[1], pathlib.Path(sys.argv[2])


def run(args, cwd):
    return subprocess.run([cli, '--data', cwd, *args], cwd=cwd, check=True, capture_output=True).stdout


def check_vcards(work):
    txl = pathlib.Path(work, 'txl')
    (txl / 'txlphoto').mkdir(parents=True)
    shutil.copy(data / 'vcard' / 'red.jpg', txl / 'txlphoto' / 'a.jpg')
    shutil.copy(data / 'vcard' / 'blue.png', txl / 'txlphoto' / 'b.png')
    lines = ['%01%老张%张三%经理,总监;兼\\顾问%010-1%020-2%13900000000%123%北京市海淀区中关村大街一号某某大厦十二层'
             '某某公司研发部%100080%zs@example.cn%www.zs.cn%http://corp.example.cn/%a.jpg',
             '%02%小李%%%%%%%%%%%%b.png', '%03%%Li Si%%%%%%%%%%%######']
    (txl / 'txl.cjf').write_bytes('\r\n'.join(lines).encode('gb18030') + b'\r\n')
    text = run(['cards', 'vcard'], work)
    for line in text.split(b'\r\n'):
        assert len(line) <= 75, line
        line.decode('utf-8')  # never folded inside a character
    cards = list(vobject.readComponents(text.decode('utf-8'), validate=True, allowQP=False, ignoreUnreadable=False))
    assert len(cards) == 3, len(cards)
    uids = [c.uid.value for c in cards]
    assert len(set(uids)) == 3 and all(uuid.UUID(u).version == 4 for u in uids), uids
    photos = [c.photo.value if hasattr(c, 'photo') else None for c in cards]
    assert photos[0] == (data / 'vcard' / 'red.jpg').read_bytes()
    assert photos[1] == (data / 'vcard' / 'blue.png').read_bytes()
    assert photos[2] is None
    assert cards[0].title.value == '经理,总监;兼\\顾问', cards[0].title.value
    assert cards[0].adr.value.code == '100080'
    assert {u.params['TYPE'][0] for u in cards[0].contents['url']} == {'HOME', 'WORK'}
    assert cards[1].fn.value == '小李'
    print(f'vobject: {len(cards)} cards, UIDs and photos read back')


TERMS = '小寒 大寒 立春 雨水 惊蛰 春分 清明 谷雨 立夏 小满 芒种 夏至 小暑 大暑 立秋 处暑 白露 秋分 寒露 霜降 立冬 小雪 大雪 冬至'


def read_ics(work, *args):
    calendar = icalendar.Calendar.from_ical(run(['calendar', '--ics', *args], work))
    assert str(calendar['X-WR-CALNAME']) == '农历节日与节气'
    events = calendar.walk('VEVENT')
    assert len({str(e['UID']) for e in events}) == len(events)
    for e in events:
        assert e['DTSTART'].params['VALUE'] == 'DATE' and str(e['TRANSP']) == 'TRANSPARENT'
    return [(e.decoded('DTSTART').isoformat(), str(e['SUMMARY'])) for e in events]


def check_ics(work):
    events = read_ics(work, '1900-01-01', '2100-12-31')
    names = [name for _, name in events]
    assert all(names.count(t) == 201 for t in TERMS.split())
    assert names.count('春节') == 201 and names.count('中秋节') == 201, names.count('春节')
    days = read_ics(work, '2100-12-01', '2100-12-31', '--lunar-days')
    assert ('2100-12-22', '冬至') in days and ('2100-12-31', '农历十二月初一') in days, days[-3:]
    rest = read_ics(work, '2004-01-01', '2026-12-31', '--holidays')
    assert ('2026-02-14', '春节 调休上班') in rest and ('2026-10-07', '国庆节 休') in rest, rest[-3:]
    print(f'icalendar: {len(events)} festivals and terms 1900-2100, {len(days)} events in December 2100')


with tempfile.TemporaryDirectory() as work:
    check_vcards(work)
    check_ics(work)
