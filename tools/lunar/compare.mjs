// Cross-checks the astronomical calendar of astro.js against independent published tables shipped in npm
// packages (installed here as devDependencies, used for this comparison only):
//   lunar-javascript  lunar months and solar terms from 寿星万年历-style astronomy with historical corrections
//   solarlunar        the widespread bit-packed month table 1900-2100 and a per-year solar-term table
//   chinese-lunar     a table of month-start dates per year 1900-2100
//   lunar-calendar    a month table 1891-2100, solar terms from a mean-motion formula (expected to be off)
//   lunisolar         its own month table and a per-year solar-term table
// Prints every run of disagreeing days per source, then a summary. Usage: node compare.mjs [--near]
import {createRequire} from 'module';

import * as L from './astro.mjs';

const require = createRequire(import.meta.url);

const FIRST = L.dayOf(1900, 1, 1);
const LAST = L.dayOf(2100, 12, 31);
const SPLIT = L.dayOf(2050, 1, 1); // the summary counts 1900-2049 and 2050-2100 apart

const MONTH_NAMES = [ '正', '二', '三', '四', '五', '六', '七', '八', '九', '十', '十一', '十二' ];
const MONTH_ALIASES = {
    冬 : 11,
    腊 : 12,
    一 : 1
};

function monthFromName(name) {
    const leap = name.startsWith('闰');
    const bare = name.replace(/^闰/, '').replace(/月$/, '');
    const number = MONTH_ALIASES[bare] || MONTH_NAMES.indexOf(bare) + 1;
    return {leap, month : number};
}

// lunisolar names the terms in traditional characters.
const TRADITIONAL = {
    驚蟄 : '惊蛰',
    穀雨 : '谷雨',
    小滿 : '小满',
    芒種 : '芒种',
    處暑 : '处暑'
};
const simplified = (name) => TRADITIONAL[name] || name;

function loadSources() {
    const {Solar} = require('lunar-javascript');
    const solarlunarModule = require('solarlunar');
    const solarlunar = solarlunarModule.default || solarlunarModule;
    const chineseLunar = require('chinese-lunar');
    const lunarCalendar = require('lunar-calendar');
    const lunisolarModule = require('lunisolar');
    const lunisolar = lunisolarModule.default || lunisolarModule;
    return {
        'lunar-javascript' : (y, m, d) => {
            const l = Solar.fromYmd(y, m, d).getLunar();
            return {
                year : l.getYear(),
                month : Math.abs(l.getMonth()),
                leap : l.getMonth() < 0,
                mday : l.getDay(),
                term : l.getJieQi() || ''
            };
        },
        solarlunar : (y, m, d) => {
            const l = solarlunar.solar2lunar(y, m, d);
            if (l === -1 || l.lYear === undefined)
                return null;
            return {year : l.lYear, month : l.lMonth, leap : l.isLeap, mday : l.lDay, term : l.isTerm ? l.term : ''};
        },
        'chinese-lunar' : (y, m, d) => {
            if (y === 1900)
                return null; // its table starts with 1901
            const l = chineseLunar.solarToLunar(new Date(y, m - 1, d));
            return {year : l.year, month : l.month, leap : l.leap, mday : l.day};
        },
        'lunar-calendar' : (y, m, d) => {
            const l = lunarCalendar.solarToLunar(y, m, d);
            return {year : l.lunarYear, ...monthFromName(l.lunarMonthName), mday : l.lunarDay, term : l.term || ''};
        },
        lunisolar : (y, m, d) => {
            if (y < 1901)
                return null; // its tables start with 1901
            const x = lunisolar(`${y}-${String(m).padStart(2, '0')}-${String(d).padStart(2, '0')}`);
            const l = x.lunar;
            return {
                year : l.year,
                month : l.month % 100,
                leap : l.isLeapMonth,
                mday : l.day,
                term : x.solarTerm ? simplified(x.solarTerm.toString()) : ''
            };
        },
    };
}

const fmtDay = (day) => {
    const c = L.civilDate(day);
    return `${c.year}-${String(c.month).padStart(2, '0')}-${String(c.day).padStart(2, '0')}`;
};
const fmtLunar = (r) => `${r.year} ${r.leap ? '闰' : ''}${r.month}/${r.mday}`;

// Groups disagreeing days into runs of consecutive days with the same kind of difference.
function compareSource(name, fn, days) {
    const runs = [];
    const late = {dateDiffs : 0, termDiffs : 0};
    const covered = {first : null, last : null};
    let dateDiffs = 0;
    let termDiffs = 0;
    for (const ours of days) {
        const c = L.civilDate(ours.day);
        let theirs = null;
        try {
            theirs = fn(c.year, c.month, c.day);
        } catch {
            theirs = null; // chinese-lunar throws outside its table
        }
        if (theirs === null || theirs === -1)
            continue; // outside the source's range
        covered.first ??= ours.day;
        covered.last = ours.day;
        const dateDiff = theirs.year !== ours.year || theirs.month !== ours.month || !!theirs.leap !== ours.leap ||
                         theirs.mday !== ours.mday;
        const termDiff = theirs.term !== undefined && theirs.term !== ours.term;
        if (!dateDiff && !termDiff)
            continue;
        dateDiffs += dateDiff;
        termDiffs += termDiff;
        if (ours.day >= SPLIT) {
            late.dateDiffs += dateDiff;
            late.termDiffs += termDiff;
        }
        const what = dateDiff ? `date ours ${fmtLunar(ours)} theirs ${fmtLunar(theirs)}`
                              : `term ours "${ours.term}" theirs "${theirs.term}"`;
        const kind = dateDiff ? 'date' : 'term';
        const last = runs[runs.length - 1];
        if (last && last.kind === kind && last.to === ours.day - 1 && kind === 'date') {
            last.to = ours.day;
            last.count++;
        } else {
            runs.push({kind, from : ours.day, to : ours.day, count : 1, what});
        }
    }
    console.log(`== ${name}: ${dateDiffs} days with another lunar date, ${termDiffs} days with another solar term`);
    for (const r of runs)
        console.log(`  ${fmtDay(r.from)}${r.to !== r.from ? '..' + fmtDay(r.to) : ''} (${r.count} d) ${r.what}`);
    return {dateDiffs, termDiffs, late, covered};
}

// Lists every new moon and solar term within `minutes` of civil midnight, and every one before 1935 whose day
// depends on the zone (UTC+8 or Beijing local mean time): the only events whose date a small error could move.
function listNearMidnight(calendar, minutes) {
    const events = [
        ...calendar.moons.map((ms) => ({ms, what : 'new moon'})),
        ...calendar.terms.map((t) => ({ms : t.ms, what : L.TERM_NAMES[t.index], almanac : t.almanac})),
    ];
    const clock = (m) => {
        const s = Math.round(m * 60);
        const two = (n) => String(n).padStart(2, '0');
        return `${two(Math.floor(s / 3600))}:${two(Math.floor(s / 60) % 60)}:${two(s % 60)}`;
    };
    console.log(`== events within ${minutes} min of civil midnight or whose day depends on the zone`);
    for (const e of events.sort((a, b) => a.ms - b.ms)) {
        const {day, minutes : m} = L.civil(e.ms);
        if (day < FIRST - 40 || day > LAST + 40)
            continue;
        const cst = L.civil(e.ms, {zone : 'cst'});
        const lmt = L.civil(e.ms, {zone : 'lmt'});
        const zoneMatters = cst.day !== lmt.day && e.ms < Date.UTC(1935, 0, 1);
        if (Math.min(m, 1440 - m) >= minutes && !zoneMatters)
            continue;
        const zones =
            zoneMatters
                ? ` [UTC+8 ${fmtDay(cst.day)} ${clock(cst.minutes)}, LMT ${fmtDay(lmt.day)} ${clock(lmt.minutes)}]`
                : '';
        console.log(`  ${fmtDay(day)} ${clock(m)} ${e.what}${zones}${e.almanac ? ' (official date differs)' : ''}`);
    }
}

function main() {
    const calendar = L.buildCalendar(1899, 2101);
    const days = L.describeDays(calendar, FIRST, LAST);
    if (process.argv.includes('--near'))
        listNearMidnight(calendar, 10);
    const summary = {};
    for (const [name, fn] of Object.entries(loadSources()))
        summary[name] = compareSource(name, fn, days);
    console.log('== summary (days 1900-01-01..2100-12-31; in brackets those of 2050-2100)');
    for (const [name, s] of Object.entries(summary))
        console.log(`  ${name} (${fmtDay(s.covered.first)}..${fmtDay(s.covered.last)}): ${s.dateDiffs} (${
            s.late.dateDiffs}) lunar-date differences, ${s.termDiffs} (${s.late.termDiffs}) solar-term differences`);
}

main();
