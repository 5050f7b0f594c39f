// Full-series positions used to pin down the instant of every solar term and new moon.
// astronomy-engine finds each event; its truncated VSOP87 puts solar terms up to about a minute off (measured
// against the full series, see README.md), which matters for terms close to midnight. Here the Sun comes from
// the complete VSOP87D series of the Earth with IAU 1980 nutation and annual aberration, the Moon from
// ELP/MPP02 fitted to DE405, both shipped by the MIT-licensed npm package astronomia. ΔT = TT - UT comes from
// astronomia's table of observed values (predictions and the NASA polynomial after its end).
import {deltat, elp, planetposition, solar} from 'astronomia';

const dataDir = new URL('./node_modules/astronomia/data/', import.meta.url);
const earth = new planetposition.Planet((await import(new URL('vsop87Dearth.js', dataDir))).default);
const moon = new elp.Moon((await import(new URL('elpMppDeFull.js', dataDir))).default);

const DAY_MS = 86400000;
const JD_UNIX_EPOCH = 2440587.5;
const LIGHT_DAYS_PER_KM = 1 / (299792.458 * 86400);

function jdeOfMs(ms) {
    const jd = ms / DAY_MS + JD_UNIX_EPOCH;
    const year = 2000 + (jd - 2451545.0) / 365.25;
    return jd + deltat.deltaT(year) / 86400;
}

function wrapPi(x) {
    const twoPi = 2 * Math.PI;
    x %= twoPi;
    if (x > Math.PI)
        x -= twoPi;
    if (x <= -Math.PI)
        x += twoPi;
    return x;
}

// Apparent geocentric ecliptic longitude of the Sun, of date (radians).
export function sunLongitude(ms) { return solar.apparentVSOP87(earth, jdeOfMs(ms)).lon; }

// Apparent longitude of the Moon minus that of the Sun (radians, -pi..pi). Nutation is common to both.
export function elongation(ms) {
    const jde = jdeOfMs(ms);
    const range = moon.position(jde).range;
    const moonLon = moon.position(jde - range * LIGHT_DAYS_PER_KM).lon;
    const sun = solar.trueVSOP87(earth, jde);
    return wrapPi(moonLon - (sun.lon + solar.aberration(sun.range)));
}

// Secant iteration from a close first guess (seconds to minutes off) to 0.01 s.
function solve(f, guessMs) {
    let a = guessMs - 60000;
    let b = guessMs + 60000;
    let fa = f(a);
    let fb = f(b);
    for (let i = 0; i < 30 && Math.abs(b - a) > 10; ++i) {
        const c = b - (fb * (b - a)) / (fb - fa);
        a = b;
        fa = fb;
        b = c;
        fb = f(b);
    }
    if (Math.abs(b - guessMs) > 600000)
        throw new Error(`refinement drifted from ${new Date(guessMs).toISOString()}`);
    return b;
}

export function refineSolarTerm(guessMs, longitudeDeg) {
    const target = (longitudeDeg * Math.PI) / 180;
    return solve((ms) => wrapPi(sunLongitude(ms) - target), guessMs);
}

export function refineNewMoon(guessMs) { return solve(elongation, guessMs); }
