'use strict';
// The small runner both conformance scripts share: checks run one after the other, each reported
// as "ok" or "FAILED" with its stack, and the closing line "N passed, N failed" that CTest reads.

const checks = [];

function check(name, body) {
  checks.push({ name, body });
}

async function runChecks() {
  let passed = 0;
  let failed = 0;
  for (const { name, body } of checks) {
    try {
      await body();
      passed += 1;
      console.log(`ok      ${name}`);
    } catch (error) {
      failed += 1;
      console.log(`FAILED  ${name}\n        ${String(error && error.stack || error).split('\n').join('\n        ')}`);
    }
  }
  console.log(`${passed} passed, ${failed} failed`);
  process.exitCode = failed === 0 ? 0 : 1;
}

module.exports = { check, runChecks };
