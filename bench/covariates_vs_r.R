#!/usr/bin/env Rscript
# Reference values for the covariate tests of tests/programs/model/covariates.zav,
# computed by R on the same data files:
#   reg12.dat (x1 x2 y): lm(y ~ x1 + x2), lm(y ~ x1), with the ML sigma
#     sqrt(RSS/n) and the log-likelihood of the normal model;
#   aft12.dat (t d x, d = 1 an observed failure, 0 right-censored):
#     survreg(Surv(t, d) ~ x, dist = "weibull"). survreg's model is
#     log T = b0 + b1 x + s W, so the Weibull scale is a = exp(b0) exp(b1 x)
#     (zav: PARAM a FORM = LOGLIN COVAR x PARAM b1) and the shape is 1/s.
# Run from the repository root through bench/covariates_vs_r.sh, which
# installs R and the survival package when they are missing.
library(survival)
options(digits = 15)
dir <- "tests/programs/model"

reg <- read.table(file.path(dir, "reg12.dat"), col.names = c("x1", "x2", "y"))
show_lm <- function(label, fit) {
  n <- nrow(reg)
  sigma <- sqrt(sum(residuals(fit)^2) / n)
  cat(label, "coefficients:", sprintf("%.12f", coef(fit)), "\n")
  cat(label, "ML sigma:", sprintf("%.12f", sigma), " logLik:", sprintf("%.10f", as.numeric(logLik(fit))), "\n")
}
show_lm("lm(y ~ x1 + x2)", lm(y ~ x1 + x2, data = reg))
show_lm("lm(y ~ x1)", lm(y ~ x1, data = reg))

aft <- read.table(file.path(dir, "aft12.dat"), col.names = c("t", "d", "x"))
fit <- survreg(Surv(t, d) ~ x, data = aft, dist = "weibull")
cat("survreg coefficients (b0, b1):", sprintf("%.12f", coef(fit)), " scale:", sprintf("%.12f", fit$scale), "\n")
cat("zav a = exp(b0):", sprintf("%.12f", exp(coef(fit)[1])), " b1:", sprintf("%.12f", coef(fit)[2]),
    " shape b = 1/scale:", sprintf("%.12f", 1 / fit$scale), "\n")
cat("loglik:", sprintf("%.10f", fit$loglik[2]), "\n")
# The same log-likelihood from the Weibull density and survival on the time
# scale, the form zav maximises.
a <- exp(predict(fit, type = "lp"))
b <- 1 / fit$scale
ll <- sum(ifelse(aft$d == 1, dweibull(aft$t, b, a, log = TRUE), pweibull(aft$t, b, a, lower.tail = FALSE, log.p = TRUE)))
cat("loglik from dweibull/pweibull:", sprintf("%.10f", ll), "\n")
# A HAZARD clause acts on the hazard: for the exponential, proportional
# hazards and accelerated failure time coincide, so the hazard h = exp(-b0)
# and the hazard coefficient is -b1.
fe <- survreg(Surv(t, d) ~ x, data = aft, dist = "exponential")
cat("exponential HAZARD: h = exp(-b0):", sprintf("%.12f", exp(-coef(fe)[1])), " c = -b1:", sprintf("%.12f", -coef(fe)[2]),
    " loglik:", sprintf("%.10f", fe$loglik[2]), "\n")
