#!/usr/bin/python3
"""Two-way sync through a real CardDAV/CalDAV server: a data folder synced by `quillet-cli sync` with Radicale on
127.0.0.1, a second client (another vdir synced by vdirsyncer) that edits, adds and deletes cards and memos, both
sides checked field by field, a conflict kept twice, and a sync with nothing changed that writes no file.
Exits 77 (skipped) when radicale or vdirsyncer is not installed.
Usage: check_sync_server.py QUILLET_CLI"""
import os
import pathlib
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

cli = sys.argv[1]
if not shutil.which('radicale') or not shutil.which('vdirsyncer'):
    print('skipped: radicale or vdirsyncer is not installed (scripts/install-deps installs them)')
    sys.exit(77)

tmp = pathlib.Path(tempfile.mkdtemp(prefix='quillet-sync-'))
data, second = tmp / 'data', tmp / 'second'
data.mkdir()
env = dict(os.environ, HOME=str(tmp / 'home'), XDG_CONFIG_HOME=str(tmp / 'config'), LANG='C.UTF-8')


def free_port():
    with socket.socket() as s:
        s.bind(('127.0.0.1', 0))
        return s.getsockname()[1]


def quillet(*args, code=0, stderr=False):
    r = subprocess.run([cli, '--data', str(data), *args], env=env, capture_output=True, text=True, timeout=60)
    assert r.returncode == code, (args, r.returncode, r.stdout, r.stderr)
    return r.stderr if stderr else r.stdout


def other(*args):
    subprocess.run(['vdirsyncer', '-c', str(second / 'config'), *args], env=env, input='y\n' * 4,
                   capture_output=True, text=True, check=True, timeout=60)


def props(path):
    """Unfolded content lines of a file: [(NAME;PARAMS, value)]."""
    text = re.sub(r'\r?\n[ \t]', '', path.read_text(encoding='utf-8'))
    return [tuple(line.split(':', 1)) for line in text.splitlines() if ':' in line]


def value(path, name):
    return [v for k, v in props(path) if k.split(';')[0] == name]


def by(folder, name, wanted):
    """The file of `folder` whose property `name` is `wanted`."""
    found = [f for f in folder.iterdir() if wanted in value(f, name)]
    assert len(found) == 1, (name, wanted, found)
    return found[0]


def cards():
    """The card file's cards: their 14 fields each."""
    lines = (data / 'txl' / 'txl.cjf').read_bytes().decode('gb18030').split('\r\n')[:-1]
    return [line.split('%')[1:] for line in lines]


def memos():
    """The memo file's memos by text: (due, flag)."""
    lines = (data / 'bwl' / 'bwl.cjf').read_bytes().decode('gb18030').split('\r\n')[:-1]
    return {line[18:-15]: (line[6:16], line[-13]) for line in lines}


def edit(path, old, new):
    text = path.read_text(encoding='utf-8')
    assert old in text, (path, old)
    path.write_text(text.replace(old, new, 1), encoding='utf-8', newline='')


def snapshot(*folders):
    return {p: (p.stat().st_mtime_ns, p.stat().st_ino, p.stat().st_size)
            for folder in folders for p in folder.rglob('*') if p.is_file() and p.name not in ('.quillet.lock', '.Radicale.lock')}


def setup_second(url):
    second.mkdir()
    pairs = ''
    for pair, kind, ext in (('contacts', 'carddav', '.vcf'), ('memos', 'caldav', '.ics')):
        pairs += f'''[pair {pair}]
a = "{pair}_local"
b = "{pair}_remote"
collections = [["{pair}", "{pair}", "{pair}"]]
conflict_resolution = "a wins"

[storage {pair}_local]
type = "filesystem"
path = "{second / 'vdir'}"
fileext = "{ext}"

[storage {pair}_remote]
type = "{kind}"
url = "{url}"
username = "alice"
password = "x"

'''
    (second / 'config').write_text(f'[general]\nstatus_path = "{second / "status"}/"\n\n' + pairs)


def main():
    started = time.monotonic()
    port = free_port()
    server = subprocess.Popen(['radicale', '--server-hosts', f'127.0.0.1:{port}', '--storage-filesystem-folder',
                               str(tmp / 'storage'), '--auth-type', 'none'], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        for _ in range(100):
            try:
                socket.create_connection(('127.0.0.1', port), timeout=0.2).close()
                break
            except OSError:
                time.sleep(0.1)
        run(f'http://127.0.0.1:{port}/')
    finally:
        server.terminate()
        server.wait()
        if not os.environ.get('KEEP'):
            shutil.rmtree(tmp, ignore_errors=True)
    print(f'sync through Radicale checked in {time.monotonic() - started:.1f} s')


def run(url):
    # Quillet's books go out to the server and reach the second client.
    quillet('cards', 'add', '姓名=张三', '手机=13800000001', '职务/称=经理')
    quillet('cards', 'add', '姓名=李四', '昵称=小李')
    quillet('cards', 'add', '姓名=王五')
    quillet('memo', 'add', '2026121014', '开会')
    quillet('memo', 'add', '2026121109', '交报告')
    quillet('memo', 'add', '2026121220', '买菜')
    quillet('sync', 'setup', url, 'alice', '--password-command', 'echo x')
    config = (tmp / 'config' / 'quillet' / 'vdirsyncer.conf').read_text()
    assert not re.search(r'^password\s*=', config, re.M) and 'password.fetch = ["command"' in config, config
    out = quillet('sync')
    assert out.splitlines()[-1].endswith('vdir: created 6, updated 0, deleted 0; conflicts 0'), out
    setup_second(url)
    other('discover')
    other('sync')
    contacts, cal = second / 'vdir' / 'contacts', second / 'vdir' / 'memos'
    zhang, li, wang = (by(contacts, 'FN', n) for n in ('张三', '李四', '王五'))
    assert value(zhang, 'TITLE') == ['经理'] and value(zhang, 'TEL') == ['13800000001']
    assert value(li, 'NICKNAME') == ['小李']
    meeting, report, shopping = (by(cal, 'SUMMARY', t) for t in ('开会', '交报告', '买菜'))
    assert value(meeting, 'DUE') == ['20261210T140000'] and value(report, 'STATUS') == ['NEEDS-ACTION']

    # The second client edits, adds and deletes; what Quillet cannot hold rides along in the file.
    edit(zhang, 'TITLE:经理', 'TITLE:总监\r\nORG:某公司\r\nBDAY:1980-01-02\r\nTEL;TYPE=HOME:010-1\r\n'
                             'TEL;TYPE=CELL:13900000002\r\nCATEGORIES:朋友\r\nX-PHONE-APP:yes')
    (contacts / 'new-card.vcf').write_text('BEGIN:VCARD\r\nVERSION:3.0\r\nUID:new-card\r\nFN:赵六\r\n'
                                           'TEL;TYPE=CELL:13700000003\r\nEND:VCARD\r\n', encoding='utf-8')
    wang.unlink()
    edit(meeting, 'DUE:20261210T140000', 'DUE:20261210T160000')
    edit(meeting, 'SUMMARY:开会', 'SUMMARY:开会(改)')
    edit(report, 'STATUS:NEEDS-ACTION', 'STATUS:COMPLETED')
    shopping.unlink()
    (cal / 'new-memo.ics').write_text('BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//phone//EN\r\nBEGIN:VTODO\r\n'
                                      'UID:new-memo\r\nDUE:20261215T080000\r\nSUMMARY:取快递\r\nEND:VTODO\r\n'
                                      'END:VCALENDAR\r\n', encoding='utf-8')
    other('sync')
    out = quillet('sync')
    assert out.splitlines()[-1] == ('sync: Quillet: created 2, updated 3, deleted 2; '
                                    'vdir: created 0, updated 0, deleted 0; conflicts 0'), out
    c = {f[2]: f for f in cards()}
    assert set(c) == {'张三', '李四', '赵六'}, c
    assert c['张三'][3:7] == ['总监', '010-1', '', '13800000001'] and c['赵六'][6] == '13700000003', c
    assert '王五' in next((data / 'txl').glob('mphs*.cjf')).read_bytes().decode('gb18030')
    m = memos()
    assert m == {'开会(改)': ('2026121016', 'F'), '交报告': ('2026121109', 'T'), '取快递': ('2026121508', 'F')}, m

    # A local edit goes out as a rewrite of that one file, keeping what Quillet does not hold.
    before = snapshot(contacts, cal)
    quillet('cards', 'edit', '1', '职务/称=董事')
    quillet('memo', 'done', '1')
    quillet('sync')
    other('sync')
    changed = {p for p, s in snapshot(contacts, cal).items() if before.get(p) != s}
    assert changed == {zhang, meeting}, changed
    assert value(zhang, 'TITLE') == ['董事'] and value(zhang, 'ORG') == ['某公司'], props(zhang)
    for name, kept in (('BDAY', '1980-01-02'), ('CATEGORIES', '朋友'), ('X-PHONE-APP', 'yes')):
        assert value(zhang, name) == [kept], (name, props(zhang))
    assert sorted(value(zhang, 'TEL')) == ['010-1', '13800000001', '13900000002'], props(zhang)
    assert value(meeting, 'STATUS') == ['COMPLETED'] and value(meeting, 'DUE') == ['20261210T160000']

    # Changed on both sides: Quillet's version keeps the card, the other becomes a second card on both sides.
    quillet('cards', 'edit', '2', '职务/称=甲')
    edit(li, 'NICKNAME:小李', 'NICKNAME:小李\r\nTITLE:乙')
    other('sync')
    out = quillet('sync')
    assert out.splitlines()[-1].endswith('conflicts 1'), out
    assert sorted(f[3] for f in cards() if f[2] == '李四') == ['乙', '甲'], cards()
    other('sync')
    titles = sorted(value(f, 'TITLE')[0] for f in contacts.iterdir() if value(f, 'FN') == ['李四'])
    assert titles == ['乙', '甲'], ([props(f) for f in contacts.iterdir()], out)

    # Nothing changed: no file is written on either side.
    before = snapshot(data, second / 'vdir', tmp / 'storage')
    out = quillet('sync')
    other('sync')
    assert out.splitlines()[-1] == ('sync: Quillet: created 0, updated 0, deleted 0; '
                                    'vdir: created 0, updated 0, deleted 0; conflicts 0'), out
    after = snapshot(data, second / 'vdir', tmp / 'storage')
    assert before == after, {p for p in set(before) | set(after) if before.get(p) != after.get(p)}

    # A server that cannot be reached: vdirsyncer's own words under a Chinese caption, exit 1, the books kept.
    quillet('sync', 'setup', f'http://127.0.0.1:{free_port()}/', 'alice', '--password-command', 'echo x')
    err = quillet('sync', code=1, stderr=True)
    assert err.startswith('同步出错(vdirsyncer 报告):\n') and 'error' in err.lower(), err
    assert after == snapshot(data, second / 'vdir', tmp / 'storage')


main()
