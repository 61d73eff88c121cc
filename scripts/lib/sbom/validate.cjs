// Validates a CycloneDX JSON document against the schema of its specVersion
// with @cyclonedx/cyclonedx-library's strict validator (which carries the
// CycloneDX and SPDX schemas), so that no checker of our own decides.
//
//   NODE_PATH=.deps/sbom/node_modules node validate.cjs FILE
//
// Exits 0 and prints "valid" when the document is valid; otherwise prints
// each schema error and exits 1 (2 when the file cannot be read or named a
// version the library does not know).
'use strict';
const fs = require('fs');
const { Validation } = require('@cyclonedx/cyclonedx-library');

async function main(file) {
  const text = fs.readFileSync(file, 'utf8');
  // A version the library has no schema for throws, and ends in exit 2.
  const version = JSON.parse(text).specVersion;
  const errors = await new Validation.JsonStrictValidator(version).validate(text);
  if (errors === null) {
    console.log(`${file}: valid CycloneDX ${version}`);
    return 0;
  }
  for (const e of errors) {
    console.error(`${file}: ${e.instancePath || '/'} ${e.message} (${e.schemaPath})`);
  }
  return 1;
}

main(process.argv[2]).then((code) => process.exit(code), (e) => {
  console.error(`${process.argv[2]}: ${e.message}`);
  process.exit(2);
});
