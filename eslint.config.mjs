// ESLint's rules for the browser page's JavaScript (tools/test.sh runs it):
// the recommended rules, over the page's modules and its service worker.
import js from '@eslint/js';
import globals from 'globals';

export default [
  js.configs.recommended,
  {
    files: ['web/js/**/*.js'],
    languageOptions: { ecmaVersion: 2022, sourceType: 'module', globals: globals.browser },
  },
  {
    // The build puts the page's file names in for @FILES@; the check reads
    // it with an empty list there.
    files: ['web/sw.js'],
    languageOptions: { ecmaVersion: 2022, sourceType: 'script', globals: globals.serviceworker },
  },
];
