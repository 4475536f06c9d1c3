// SPDX-FileCopyrightText: 2026 Tabidori Project
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Prints the reference rows of tests/test_fsrs.cpp, computed by the ts-fsrs library, so that our
// scheduler is checked against an implementation we did not write. Run by hand only; neither the
// build nor the tests need node. In a scratch folder outside the repository:
//
//   npm install ts-fsrs@5
//   node /path/to/tools/fsrs-reference.mjs
//
// ts-fsrs is resolved from the current folder. Default FSRS-6 weights, no fuzz.

import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { pathToFileURL } from 'node:url';

const require = createRequire(pathToFileURL(join(process.cwd(), 'x.js')).href);
const lib = require('ts-fsrs');

function packageVersion() {
    let dir = dirname(require.resolve('ts-fsrs'));
    for (;;) {
        try {
            const pkg = JSON.parse(readFileSync(join(dir, 'package.json'), 'utf8'));
            if (pkg.name === 'ts-fsrs') return pkg.version;
        } catch {}
        const up = dirname(dir);
        if (up === dir) return 'unknown';
        dir = up;
    }
}

function algorithm(retention = 0.9, maximumInterval = 36500) {
    return new lib.FSRSAlgorithm(
        lib.generatorParameters({
            request_retention: retention,
            maximum_interval: maximumInterval,
            enable_fuzz: false,
        }),
    );
}

// Six significant digits: the test compares to 1e-3 relative.
const num = (x) => Number(x.toPrecision(6)).toString();
const grades = ['', 'Again', 'Hard', 'Good', 'Easy'];
const fsrs = algorithm();

console.log(`// ts-fsrs ${packageVersion()}, weights [${lib.default_w.join(', ')}]`);

// Memory transitions: name, S, D, elapsed days, grade, then the new S, D and interval at 0.9.
console.log('\n// memory_data');
function memoryRow(name, before, elapsed, grade) {
    const after = fsrs.next_state(before, elapsed, grade);
    const interval = fsrs.next_interval(after.stability, elapsed);
    const s = before ? before.stability : 0;
    const d = before ? before.difficulty : 0;
    console.log(
        `QTest::newRow("${name}") << Transition{${num(s)}, ${num(d)}, ${num(elapsed)}, ${grades[grade]}` +
            `, ${num(after.stability)}, ${num(after.difficulty)}, ${interval}};`,
    );
    return after;
}
const first = {};
for (const g of [1, 2, 3, 4]) first[g] = memoryRow(`first ${grades[g]}`, null, 0, g);
memoryRow('lapse after 10 days', first[3], 10, 1);
memoryRow('Good after 400 days', { stability: 20, difficulty: 5 }, 400, 3);
for (const g of [1, 2, 3, 4]) memoryRow(`same day ${grades[g]}`, first[3], 0, g);
for (const g of [2, 3, 4]) memoryRow(`${grades[g]} after 7 days`, { stability: 5, difficulty: 6 }, 7, g);
memoryRow('lapse held below S', { stability: 0.1, difficulty: 1 }, 100, 1);
memoryRow('Again near D=10', { stability: 5, difficulty: 9.5 }, 3, 1);
memoryRow('Easy near D=1', { stability: 5, difficulty: 1.2 }, 3, 4);
memoryRow('Good on time', first[3], fsrs.next_interval(first[3].stability, 0), 3);

// Intervals: name, S, desired retention, maximum interval, then the interval in days.
console.log('\n// interval_data');
function intervalRow(name, s, retention, maximum) {
    const days = algorithm(retention, maximum).next_interval(s, 0);
    console.log(`QTest::newRow("${name}") << Interval{${num(s)}, ${num(retention)}, ${maximum}, ${days}};`);
}
intervalRow('S=10 at 0.8', 10, 0.8, 36500);
intervalRow('S=100 at 0.8', 100, 0.8, 36500);
intervalRow('S=10 at 0.97', 10, 0.97, 36500);
intervalRow('S=100 at 0.97', 100, 0.97, 36500);
intervalRow('S=0.212 at 0.9', 0.212, 0.9, 36500);
intervalRow('S=5000 at 0.8, max 365', 5000, 0.8, 365);

// Retrievability: name, elapsed days, S, then R.
console.log('\n// retrievability_data');
for (const [t, s] of [[10, 10], [1, 10], [100, 10], [400, 20]]) {
    const r = lib.forgetting_curve(lib.default_w, t, s);
    console.log(`QTest::newRow("t=${t} S=${s}") << Recall{${num(t)}, ${num(s)}, ${num(r)}};`);
}

// A new card reviewed on whole days counted from 2026-04-01: name, the reviews, then the last
// review, the due day, reps, lapses and S. A review dated before the last one counts as the same
// day.
console.log('\n// review_data');
const dayMs = 86400000;
const iso = (ms) => new Date(ms).toISOString().slice(0, 10);
function reviewRow(name, steps) {
    let memory = null;
    let last = null;
    let due = null;
    let reps = 0;
    let lapses = 0;
    for (const [day, g] of steps) {
        const today = Date.parse('2026-04-01T00:00:00Z') + day * dayMs;
        const elapsed = last === null ? 0 : Math.max(0, Math.round((today - last) / dayMs));
        if (g === 1 && reps > 0) lapses += 1;
        memory = fsrs.next_state(memory, elapsed, g);
        due = today + fsrs.next_interval(memory.stability, elapsed) * dayMs;
        last = today;
        reps += 1;
    }
    const start = Date.parse('2026-04-01T00:00:00Z');
    const offset = (ms) => Math.round((ms - start) / dayMs);
    const list = steps.map(([day, g]) => `{${day}, ${grades[g]}}`);
    console.log(
        `QTest::newRow("${name}") << Schedule{{${list.join(', ')}}, ${offset(last)}` +
            `, ${offset(due)}, ${reps}, ${lapses}, ${num(memory.stability)}};`,
    );
}
reviewRow('first Good', [[0, 3]]);
reviewRow('first Again is no lapse', [[0, 1]]);
reviewRow('Good on the due day', [[0, 3], [2, 3]]);
reviewRow('lapse', [[0, 3], [10, 1]]);
reviewRow('two lapses', [[0, 3], [10, 1], [11, 1]]);
reviewRow('twice the same day', [[0, 3], [0, 3]]);
reviewRow('Easy later', [[270, 4]]);
reviewRow('Hard after a month', [[0, 3], [31, 2]]);
reviewRow('clock set back', [[9, 3], [4, 4]]);
