#!/usr/bin/env python3
"""Reference values for tests/programs/report/dists.zav.

Exponential hazard h with a covariate z acting through k = exp(b z): the
data (t, z) = (1,0) (2,0) (3,0) (1,1) (1,1) give the closed-form estimates
h = 0.5, b = ln 2 and the inverse observed information V below. At the mean
z = 0.4: S(t) = exp(-k h t), f(t) = k h S(t), hazard k h. Standard errors by
the delta method with forward steps D_k = 0.25 sqrt(V_kk), times C = 2.
Plain Python; prints the rows as the table shows them (8 and 7 significant
digits).
"""
import math

h, b, zbar, C, scale = 0.5, math.log(2), 0.4, 2.0, 0.25
V = [[1 / 12, -1 / 6], [-1 / 6, 5 / 6]]


def funcs(h, b, t):
    k = math.exp(b * zbar)
    s = math.exp(-k * h * t)
    return [s, k * h * s, k * h]


steps = [scale * math.sqrt(V[i][i]) for i in range(2)]
for t in [0, 1, 2, 3, 4]:
    base = funcs(h, b, t)
    shifted = [funcs(h + steps[0], b, t), funcs(h, b + steps[1], t)]
    row = [t]
    for f in range(3):
        g = [(shifted[k][f] - base[f]) / steps[k] for k in range(2)]
        var = sum(g[i] * V[i][j] * g[j] for i in range(2) for j in range(2))
        row += [base[f], C * math.sqrt(var)]
    print(" ".join("%.8g" % v for v in row))
