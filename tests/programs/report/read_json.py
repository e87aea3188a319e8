# Reads back the results file that --results=fits.json wrote.
import json
import math
with open("fits.json") as f:
    runs = [json.loads(line) for line in f]
for r in runs:
    print(r["model"], r["run"], r["free_params"], r["converge"], r["reason"], "vcv" in r)
    for p in r["parameters"]:
        print("  %-8s held=%s se=%s lci=%s" % (p["name"], p["held"], "null" if p["se"] is None else "number",
                                              p["lci"]))
    free = [p for p in r["parameters"] if not p["held"]]
    v = r["vcv"]
    print("  se = sqrt(diag vcv):", all(math.isclose(p["se"], math.sqrt(v[i][i])) for i, p in enumerate(free)),
          " symmetric:", all(math.isclose(v[i][j], v[j][i]) for i in range(len(v)) for j in range(len(v))))
