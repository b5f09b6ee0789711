// Prints every table of an Access file as the independent pure-JavaScript reader mdb-reader reads
// it: [{name, columns: [{name, type, size}], rows: [[value, ...], ...]}] as JSON, dates as ISO
// texts.
//
//   node mdb_reference.mjs <mdb-reader/lib/node/index.js> <file.mdb>
import fs from "fs";
import { pathToFileURL } from "url";

const { default: MDBReader } = await import(pathToFileURL(process.argv[2]).href);
const reader = new MDBReader(fs.readFileSync(process.argv[3]));
const tables = reader.getTableNames().map((name) => {
    const table = reader.getTable(name);
    const columns = table.getColumns().map((c) => ({ name: c.name, type: c.type, size: c.size }));
    const rows = table.getData().map((row) => columns.map((c) => row[c.name]));
    return { name, columns, rows };
});
process.stdout.write(JSON.stringify(tables));
