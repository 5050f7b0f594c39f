// Chinese lunar calendar from astronomy, after the GB/T 33661-2017 rules:
//  - a month begins on the civil day of a new moon (apparent conjunction in ecliptic longitude);
//  - the 24 solar terms fall on the civil day the Sun's apparent longitude reaches a multiple of 15 degrees;
//  - the month holding the winter solstice (冬至, 270 degrees) is month 11;
//  - when 13 months lie between two month-11 starts, the first of them without a principal term (中气,
//    a multiple of 30 degrees) is a leap month and repeats the number of the month before it.
// Civil days are Beijing standard time (UTC+8), except from 1913 to 1928, when the official almanacs counted
// days in Beijing local mean time (116°25' E, UTC+7:45:40). Before 1913 the almanacs still followed the Qing
// method; UTC+8 reproduces their dates wherever the zone matters, and ALMANAC_DATES lists the few dates where the
// official tables depart from any modern computation (see README.md for the evidence).
import * as Astronomy from 'astronomy-engine';
import fs from 'fs';

import {refineNewMoon, refineSolarTerm} from './precise.mjs';

export const DAY_MS = 86400000;
const CST_OFFSET_MS = 8 * 3600000;
const LMT_OFFSET_MS = Math.round(((116 + 25 / 60) / 15) * 3600000); // 7:45:40
// Local mean time from 1913-01-01 to 1928-12-31 (instants in UTC).
const LOCAL_TIME_FROM = Date.UTC(1912, 11, 31, 16, 0, 0);
const LOCAL_TIME_UNTIL = Date.UTC(1928, 11, 31, 16, 0, 0);

// Solar terms whose official date differs from the computed one: the HKO-derived term tables (solarlunar,
// lunisolar) agree on these, and the instant lies within the error of the almanac's own computation
// (old-method almanacs of 1912-1913; 1979 大寒 falls 4 s before midnight).
export const ALMANAC_DATES = [
    {term : '小雪', computed : '1912-11-22', official : '1912-11-23'},
    {term : '秋分', computed : '1913-09-23', official : '1913-09-24'},
    {term : '大寒', computed : '1979-01-20', official : '1979-01-21'},
];

// Solar terms in Gregorian order: index i has apparent solar longitude (285 + 15 i) mod 360.
export const TERM_NAMES = [
    '小寒', '大寒', '立春', '雨水', '惊蛰', '春分', '清明', '谷雨', '立夏', '小满', '芒种', '夏至',
    '小暑', '大暑', '立秋', '处暑', '白露', '秋分', '寒露', '霜降', '立冬', '小雪', '大雪', '冬至'
];
const termLongitude = (i) => (285 + 15 * i) % 360;
export const isPrincipalTerm = (i) => i % 2 === 1; // 大寒, 雨水, 春分, ... 冬至

// options.zone forces 'cst' (UTC+8) or 'lmt' for every instant.
function offsetMs(ms, options) {
    const zone = options && options.zone;
    if (zone)
        return zone === 'lmt' ? LMT_OFFSET_MS : CST_OFFSET_MS;
    return ms >= LOCAL_TIME_FROM && ms < LOCAL_TIME_UNTIL ? LMT_OFFSET_MS : CST_OFFSET_MS;
}

// Civil day number (days since 1970-01-01) of an instant, and its clock time in minutes after midnight.
export function civil(ms, options) {
    const local = ms + offsetMs(ms, options);
    const day = Math.floor(local / DAY_MS);
    return {day, minutes : (local - day * DAY_MS) / 60000};
}

function wrap180(x) {
    while (x > 180)
        x -= 360;
    while (x <= -180)
        x += 360;
    return x;
}

// Apparent elongation of the Moon from the Sun: both longitudes of date, both corrected for aberration.
// (Astronomy.MoonPhase leaves out the Sun's aberration, which puts new moons about 40 s late.)
function apparentElongation(time) {
    const moon = Astronomy.Ecliptic(Astronomy.GeoVector(Astronomy.Body.Moon, time, true)).elon;
    const sun = Astronomy.SunPosition(time).elon;
    return wrap180(moon - sun);
}

function newMoonsBetween(fromMs, toMs) {
    const result = [];
    let start = new Date(fromMs);
    for (;;) {
        const rough = Astronomy.SearchMoonPhase(0, start, 40);
        const found = Astronomy.Search(apparentElongation, rough.AddDays(-0.05), rough.AddDays(0.05),
                                       {dt_tolerance_seconds : 0.1});
        const exact = refineNewMoon(found.date.getTime());
        if (exact >= toMs)
            return result;
        result.push(exact);
        start = rough.AddDays(1).date;
    }
}

function solarTermsBetween(fromMs, toMs) {
    const result = [];
    // Start at the 冬至 before fromMs so that the index sequence is known.
    let time = Astronomy.SearchSunLongitude(270, new Date(fromMs - 380 * DAY_MS), 400);
    let index = 23;
    for (;;) {
        const ms = time.date.getTime();
        if (ms >= toMs)
            return result;
        if (ms >= fromMs)
            result.push({ms : refineSolarTerm(ms, termLongitude(index)), index});
        index = (index + 1) % 24;
        time = Astronomy.SearchSunLongitude(termLongitude(index), time.AddDays(1), 20);
    }
}

export function civilDate(day) {
    const d = new Date(day * DAY_MS);
    return {year : d.getUTCFullYear(), month : d.getUTCMonth() + 1, day : d.getUTCDate()};
}

export function dayOf(year, month, day) { return Math.floor(Date.UTC(year, month - 1, day) / DAY_MS); }

// The full-series refinement takes a few minutes; its results are kept in .cache/ (not committed).
function cachedEvents(from, to) {
    const file = new URL(`./.cache/events-${from}-${to}.json`, import.meta.url);
    if (fs.existsSync(file))
        return JSON.parse(fs.readFileSync(file, 'utf8'));
    const events = {moons : newMoonsBetween(from, to), terms : solarTermsBetween(from, to)};
    fs.mkdirSync(new URL('./.cache/', import.meta.url), {recursive : true});
    fs.writeFileSync(file, JSON.stringify(events));
    return events;
}

const isoDay = (day) => new Date(day * DAY_MS).toISOString().slice(0, 10);

function applyAlmanacDates(terms) {
    for (const fix of ALMANAC_DATES) {
        const hits = terms.filter((t) => TERM_NAMES[t.index] === fix.term && isoDay(t.day) === fix.computed);
        if (hits.length !== 1)
            throw new Error(`almanac date ${fix.term} ${fix.computed} matches ${hits.length}`);
        hits[0].day = Math.floor(Date.parse(fix.official) / DAY_MS);
        hits[0].almanac = true;
    }
    return terms;
}

// Numbers the months between two consecutive month-11 starts (new-moon indexes a..b, b exclusive).
function numberMonths(moonDays, principalDays, a, b) {
    const hasPrincipal = (j) => principalDays.some((d) => d >= moonDays[j] && d < moonDays[j + 1]);
    let leap = -1;
    if (b - a === 13) {
        for (let j = a + 1; j < b && leap < 0; ++j)
            if (!hasPrincipal(j))
                leap = j;
        if (leap < 0)
            throw new Error(`13 months from day ${moonDays[a]} but none without a principal term`);
    } else if (b - a !== 12) {
        throw new Error(`${b - a} months between month-11 starts at day ${moonDays[a]}`);
    }
    const months = [];
    let number = 11;
    for (let j = a; j < b; ++j) {
        if (j > a && j !== leap)
            number = (number % 12) + 1;
        months.push({start : moonDays[j], length : moonDays[j + 1] - moonDays[j], number, leap : j === leap});
    }
    return months;
}

// Builds the lunar calendar for the lunar years firstYear..lastYear (each named by the Gregorian year of its
// 正月初一) and the solar terms of the Gregorian years firstYear..lastYear + 1.
export function buildCalendar(firstYear, lastYear, options) {
    const from = Date.UTC(firstYear - 2, 9, 1);
    const to = Date.UTC(lastYear + 2, 2, 1);
    const {moons, terms} = cachedEvents(from, to);
    const moonDays = moons.map((ms) => civil(ms, options).day);
    const termDays = terms.map((t) => ({...t, day : civil(t.ms, options).day}));
    if (!(options && options.zone))
        applyAlmanacDates(termDays);
    const principalDays = termDays.filter((t) => isPrincipalTerm(t.index)).map((t) => t.day);
    const solstices = termDays.filter((t) => t.index === 23);
    const month11 = (solstice) => moonDays.filter((d) => d <= solstice.day).length - 1;

    const months = [];
    for (let k = 0; k + 1 < solstices.length; ++k)
        months.push(...numberMonths(moonDays, principalDays, month11(solstices[k]), month11(solstices[k + 1])));

    const years = [];
    for (let i = 0; i < months.length; ++i) {
        if (months[i].number !== 1 || months[i].leap)
            continue;
        const year = civilDate(months[i].start).year;
        if (year < firstYear || year > lastYear)
            continue;
        const list = [];
        for (let j = i; j < months.length && (j === i || months[j].number !== 1 || months[j].leap); ++j)
            list.push(months[j]);
        const leap = list.find((m) => m.leap);
        years.push({year, start : months[i].start, months : list, leapMonth : leap ? leap.number : 0});
    }
    return {moons, terms : termDays, moonDays, years, months};
}

const STEMS = '甲乙丙丁戊己庚辛壬癸';
const BRANCHES = '子丑寅卯辰巳午未申酉戌亥';
const ANIMALS = '鼠牛虎兔龙蛇马羊猴鸡狗猪';
const FESTIVALS = {
    '1-1' : '春节',
    '1-15' : '元宵节',
    '5-5' : '端午节',
    '7-7' : '七夕节',
    '8-15' : '中秋节',
    '9-9' : '重阳节',
    '12-8' : '腊八节'
};

export function yearName(year) {
    const k = (((year - 4) % 60) + 60) % 60;
    return {ganzhi : STEMS[k % 10] + BRANCHES[k % 12], animal : ANIMALS[k % 12]};
}

// One record per civil day fromDay..toDay: lunar year, month, day, leap flag, festival and solar term.
export function describeDays(calendar, fromDay, toDay) {
    const termOfDay = new Map(calendar.terms.map((t) => [t.day, TERM_NAMES[t.index]]));
    const out = [];
    for (const y of calendar.years) {
        for (const m of y.months) {
            for (let d = 0; d < m.length; ++d) {
                const day = m.start + d;
                if (day < fromDay || day > toDay)
                    continue;
                let festival = m.leap ? '' : FESTIVALS[`${m.number}-${d + 1}`] || '';
                if (!m.leap && m.number === 12 && d === m.length - 1)
                    festival = '除夕';
                out.push({
                    day,
                    year : y.year,
                    ...yearName(y.year),
                    leap : m.leap,
                    month : m.number,
                    mday : d + 1,
                    festival,
                    term : termOfDay.get(day) || ''
                });
            }
        }
    }
    out.sort((a, b) => a.day - b.day);
    for (let i = 1; i < out.length; ++i)
        if (out[i].day !== out[i - 1].day + 1)
            throw new Error(`gap in days at ${out[i].day}`);
    if (out[0].day !== fromDay || out[out.length - 1].day !== toDay)
        throw new Error('days do not cover the range');
    return out;
}
