# Reads back the results file that --results=fits.csv wrote.
import csv
import math
with open("fits.csv", newline="") as f:
    rows = list(csv.DictReader(f))
print(",".join(rows[0].keys()))
for r in rows:
    print(r["model"], r["run"], r["parameter"], r["held"], r["se"], r["converge"], r["reason"])
by = {(r["run"], r["parameter"]): r for r in rows}
print("python: %.9f %.9f %.9f" % (float(by["1", "shape"]["estimate"]), float(by["2", "shape"]["uci"]),
                                  float(by["2", "shape"]["loglik"])))
r = by["1", "b_group"]
k, ll, n = int(r["free_params"]), float(r["loglik"]), float(r["observations"])
print("AIC, BIC as recomputed:", math.isclose(float(r["aic"]), -2 * ll + 2 * k),
      math.isclose(float(r["bic"]), -2 * ll + k * math.log(n)))
print("digits:", len(r["estimate"].replace("-", "").replace(".", "").split("e")[0].lstrip("0")))
