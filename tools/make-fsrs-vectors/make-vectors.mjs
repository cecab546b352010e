// Makes the test vectors the review model is checked against
// (tests/review/data/fsrs-vectors.json): random review histories scheduled
// by ts-fsrs, and parameters fitted by @open-spaced-repetition/binding to the
// reviews of simulated learners. Run with:
//   cd tools/make-fsrs-vectors && npm ci && node make-vectors.mjs
// This tool is for making the vectors only; nothing of it goes into the
// program.
import { writeFileSync, readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import {
  fsrs, createEmptyCard, generatorParameters, Rating, State, StrategyMode,
  default_w, CLAMP_PARAMETERS, FSRSVersion,
} from 'ts-fsrs';
import {
  computeParameters, FSRSBinding, FSRSBindingItem, FSRSBindingReview,
} from '@open-spaced-repetition/binding';

const here = dirname(fileURLToPath(import.meta.url));
const packageVersion = (name) =>
  JSON.parse(readFileSync(join(here, 'node_modules', name, 'package.json'))).version;

// A small deterministic generator (mulberry32), so the vectors can be made again.
function random32(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}
const rand = random32(20261207);
const pick = (list) => list[Math.floor(rand() * list.length)];
const round8 = (x) => Math.round(x * 1e8) / 1e8;

const MINUTE = 60 * 1000;
const DAY = 24 * 60 * MINUTE;

// Parameters near the defaults but off them, inside the clamps, so every
// term of the model shows in the vectors.
function randomParameters() {
  const clamps = CLAMP_PARAMETERS(2, true);
  return default_w.map((w, i) => {
    const [lo, hi] = clamps[i];
    const value = w * (0.6 + 0.8 * rand()) + (i >= 17 ? 0.1 * rand() : 0);
    return round8(Math.min(Math.max(value, lo), hi));
  });
}

// ---- Scheduler vectors ------------------------------------------------------
function scheduleHistory(index) {
  const retention = pick([0.7, 0.8, 0.85, 0.9, 0.95, 0.97]);
  const maximumInterval = pick([36500, 36500, 365, 60]);
  const sameDay = index % 3 !== 0; // a third of the histories has no same-day review
  const fuzz = index % 5 === 4;
  const w = index % 2 === 0 ? [...default_w] : randomParameters();
  const params = generatorParameters({
    w, request_retention: retention, maximum_interval: maximumInterval, enable_fuzz: fuzz,
  });
  const scheduler = fsrs(params);
  const cardId = 1000 + index;
  // Fuzz is seeded per card and review: the card's number and its review count.
  scheduler.useStrategy(StrategyMode.SEED, function seed() {
    return `${this.current.card_id}_${this.current.reps}`;
  });
  let now = Date.UTC(2024, 0, 1) + Math.floor(rand() * 700) * DAY + Math.floor(rand() * DAY);
  let card = { ...createEmptyCard(new Date(now)), card_id: cardId };
  const reviews = [];
  const count = 8 + Math.floor(rand() * 25);
  for (let k = 0; k < count; ++k) {
    const grade = pick([Rating.Again, Rating.Hard, Rating.Good, Rating.Good, Rating.Good, Rating.Easy]);
    const item = scheduler.next(card, new Date(now), grade);
    card = { ...item.card, card_id: cardId };
    reviews.push({
      at: now,
      grade,
      state: card.state,
      stability: card.stability,
      difficulty: card.difficulty,
      due: card.due.getTime(),
      scheduledDays: card.scheduled_days,
      elapsedDays: card.elapsed_days,
      learningSteps: card.learning_steps,
      reps: card.reps,
      lapses: card.lapses,
      retrievability: scheduler.get_retrievability(card, new Date(now + 3 * DAY), false),
    });
    // The next answer: at its due time or around it, early, late or much later.
    const due = card.due.getTime();
    const gapChoice = rand();
    if (sameDay && gapChoice < 0.25) {
      now += (1 + Math.floor(rand() * 300)) * MINUTE;
    } else if (gapChoice < 0.6) {
      now = Math.max(now + MINUTE, due + Math.floor(rand() * 3 * 60) * MINUTE);
    } else if (gapChoice < 0.8) {
      now = Math.max(now + (sameDay ? MINUTE : DAY), now + Math.floor(rand() * (due - now)));
    } else {
      now = Math.max(due, now) + Math.floor(rand() * 40 * DAY) + Math.floor(rand() * DAY);
    }
    if (!sameDay) {
      // Every answer on a later day than the one before.
      const day = Math.floor(reviews[reviews.length - 1].at / DAY);
      if (Math.floor(now / DAY) <= day) now = (day + 1) * DAY + Math.floor(rand() * DAY);
    }
  }
  return {
    cardId, retention, maximumInterval, fuzz, w: params.w,
    learningSteps: [...params.learning_steps], relearningSteps: [...params.relearning_steps],
    reviews,
  };
}

// ---- Optimiser vectors ------------------------------------------------------
// A learner whose memory follows the model with its own parameters: each
// card is learnt on one day (with a same-day step now and then), then asked
// around the time the learner's scheduler (with some noise) would ask it.
function simulateLearner(seedIndex, cards, days, far = false) {
  const truth = randomParameters();
  if (far) {
    // A learner far from the defaults: first stabilities several times
    // longer, a flatter forgetting curve.
    for (let i = 0; i < 4; ++i) truth[i] = round8(Math.min(truth[i] * (3 + 2 * rand()), 100));
    truth[20] = 0.4;
  }
  const truthScheduler = fsrs(generatorParameters({ w: truth }));
  const retention = pick([0.8, 0.85, 0.9, 0.95]);
  const history = []; // per card: [{day, minute, grade}]
  for (let c = 0; c < cards; ++c) {
    const start = Math.floor(rand() * days * 0.8);
    const reviews = [];
    const firstGrade = pick([1, 1, 2, 3, 3, 3, 3, 4, 4]);
    let minute = Math.floor(rand() * 600) + 480;
    reviews.push({ day: start, minute, grade: firstGrade });
    let state = truthScheduler.next_state(null, 0, firstGrade);
    // Same-day steps after Again or Hard.
    let lastGrade = firstGrade;
    let steps = 0;
    while (lastGrade <= 2 && steps < 3 && rand() < 0.7) {
      minute += 1 + Math.floor(rand() * 20);
      const r = truthScheduler.forgetting_curve(0, state.stability);
      const recalled = rand() < Math.max(r, 0.6);
      lastGrade = recalled ? pick([2, 3, 3, 3]) : 1;
      state = truthScheduler.next_state(state, 0, lastGrade);
      reviews.push({ day: start, minute, grade: lastGrade });
      ++steps;
    }
    let day = start;
    for (;;) {
      const ideal = Math.max(1, Math.round(state.stability * (Math.pow(retention, 1 / -truth[20]) - 1)
        / (Math.pow(0.9, 1 / -truth[20]) - 1)));
      const gap = Math.max(1, Math.round(ideal * (0.5 + rand())));
      if (day + gap >= days) break;
      day += gap;
      const r = truthScheduler.forgetting_curve(gap, state.stability);
      const recalled = rand() < r;
      const grade = recalled ? pick([2, 3, 3, 3, 3, 3, 4]) : 1;
      minute = Math.floor(rand() * 900) + 360;
      reviews.push({ day, minute, grade });
      state = truthScheduler.next_state(state, gap, grade);
      if (grade === 1 && rand() < 0.8) {
        minute += 10 + Math.floor(rand() * 30);
        const g2 = rand() < 0.8 ? 3 : 1;
        reviews.push({ day, minute, grade: g2 });
        state = truthScheduler.next_state(state, 0, g2);
      }
    }
    history.push(reviews);
  }
  return { seedIndex, truth, retention, history };
}

// The items the optimiser learns from: one per review on a later day than
// the card's previous one, holding the card's reviews up to it, in the order
// the reviews were made.
function itemsOf(history) {
  const made = [];
  history.forEach((reviews, card) => {
    const list = [];
    reviews.forEach((review, k) => {
      const deltaT = k === 0 ? 0 : review.day - reviews[k - 1].day;
      list.push([review.grade, deltaT]);
      if (k > 0 && deltaT > 0) made.push({ when: review.day * 1440 + review.minute, card, k, reviews: list.slice() });
    });
  });
  made.sort((a, b) => a.when - b.when || a.card - b.card);
  return made.map((m) => m.reviews);
}
const toBinding = (items) => items.map((reviews) =>
  new FSRSBindingItem(reviews.map(([rating, deltaT]) => new FSRSBindingReview(rating, deltaT))));

async function learnerVector(index, cards, days, far = false) {
  const learner = simulateLearner(index, cards, days, far);
  const items = itemsOf(learner.history);
  const bindingItems = toBinding(items);
  const fitted = await computeParameters(bindingItems, { enableShortTerm: true, numRelearningSteps: 1 });
  const atFitted = new FSRSBinding(fitted).evaluate(toBinding(items));
  const atDefaults = new FSRSBinding([...default_w]).evaluate(toBinding(items));
  const atTruth = new FSRSBinding(learner.truth).evaluate(toBinding(items));
  const reviewCount = learner.history.reduce((sum, r) => sum + r.length, 0);
  console.log(`learner ${index}: ${cards} cards, ${reviewCount} reviews, ${items.length} items; `
    + `log loss defaults ${atDefaults.logLoss.toFixed(5)}, truth ${atTruth.logLoss.toFixed(5)}, fitted ${atFitted.logLoss.toFixed(5)}`);
  return {
    truth: learner.truth,
    // Per card: [day, minute of the day, grade] of each review.
    history: learner.history.map((reviews) => reviews.map((r) => [r.day, r.minute, r.grade])),
    itemCount: items.length,
    fitted: Array.from(fitted),
    fittedLogLoss: atFitted.logLoss, fittedRmseBins: atFitted.rmseBins,
    defaultLogLoss: atDefaults.logLoss, defaultRmseBins: atDefaults.rmseBins,
    truthLogLoss: atTruth.logLoss, truthRmseBins: atTruth.rmseBins,
  };
}

// Too few reviews: what the reference gives back.
async function tooFew() {
  const items = [[[3, 0], [3, 2]], [[1, 0], [3, 1]], [[4, 0], [3, 5]]];
  const fitted = await computeParameters(toBinding(items), { enableShortTerm: true, numRelearningSteps: 1 });
  return { items, fitted: Array.from(fitted) };
}

const histories = [];
for (let i = 0; i < 90; ++i) histories.push(scheduleHistory(i));
const learners = [];
learners.push(await learnerVector(0, 600, 365));
learners.push(await learnerVector(1, 1500, 500));
learners.push(await learnerVector(2, 2000, 500));
learners.push(await learnerVector(3, 250, 200));
learners.push(await learnerVector(4, 1000, 400, true));

const out = {
  about: 'Made by tools/make-fsrs-vectors/make-vectors.mjs; times in ms since 1970 (UTC), days between UTC dates.',
  versions: { 'ts-fsrs': packageVersion('ts-fsrs'), 'ts-fsrs model': FSRSVersion, '@open-spaced-repetition/binding': packageVersion('@open-spaced-repetition/binding'), node: process.version },
  defaultParameters: [...default_w],
  histories,
  learners,
  tooFew: await tooFew(),
};
const target = join(here, '..', '..', 'tests', 'review', 'data', 'fsrs-vectors.json');
writeFileSync(target, JSON.stringify(out));
console.log(`wrote ${target}`);
