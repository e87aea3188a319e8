# One fit in R for bench/fit_vs_r.sh, standard errors included; prints
# "RESULT" and the estimates in the parametrisation of the zav model.
#   Rscript bench/fit_r.R CASE FILE
suppressMessages(library(survival))
args <- commandArgs(trailingOnly = TRUE)
case <- args[1]
d <- read.table(args[2])
t <- d[[1]]
ev <- d[[2]]
ctl <- survreg.control(rel.tolerance = 1e-12, maxiter = 100)
out <- function(est, se) cat("RESULT", sprintf("%.12g", est), "SE", sprintf("%.6g", se), "\n")
# Delta method through a Jacobian J of the zav parameters in R's.
delta <- function(J, v) sqrt(diag(J %*% v %*% t(J)))
surv <- function(dist, X = NULL) {
  f <- if (is.null(X)) survreg(Surv(t, ev) ~ 1, dist = dist, control = ctl)
       else survreg(Surv(t, ev) ~ X, dist = dist, control = ctl)
  list(cf = coef(f), s = f$scale, v = vcov(f))
}
# Maximum likelihood by optim on log parameters, standard errors from the
# Hessian of the log-likelihood at the optimum.
mle <- function(ll, start) {
  o <- optim(log(start), function(q) -ll(exp(q)), method = "BFGS",
             control = list(reltol = 1e-15, maxit = 1000))
  o <- optim(o$par, function(q) -ll(exp(q)), method = "BFGS", control = list(reltol = 1e-15, maxit = 1000))
  h <- optimHess(o$par, function(q) -ll(exp(q)))
  est <- exp(o$par)
  list(est = est, se = est * sqrt(diag(solve(h))))
}
switch(case,
  weib1 = , weib5 = {
    X <- as.matrix(d[, -(1:2)])
    r <- surv("weibull", X)
    p <- length(r$cf) - 1
    est <- c(exp(r$cf[1]), 1 / r$s, -r$cf[-1] / r$s)
    # Jacobian of (scale, shape, beta) in (mu, gamma, log sigma).
    J <- matrix(0, p + 2, p + 2)
    J[1, 1] <- exp(r$cf[1]); J[2, p + 2] <- -1 / r$s
    for (i in 1:p) { J[2 + i, 1 + i] <- -1 / r$s; J[2 + i, p + 2] <- r$cf[1 + i] / r$s }
    out(est, delta(J, r$v))
  },
  exp = {
    r <- surv("exponential")
    out(exp(-r$cf[1]), exp(-r$cf[1]) * sqrt(r$v[1, 1]))
  },
  lnorm = {
    r <- surv("lognormal")
    out(c(exp(r$cf[1]), r$s), delta(diag(c(exp(r$cf[1]), r$s)), r$v))
  },
  llogis = {
    r <- surv("loglogistic")
    out(c(exp(r$cf[1]), 1 / r$s), delta(diag(c(exp(r$cf[1]), -1 / r$s)), r$v))
  },
  gauss = {
    r <- surv("gaussian")
    out(c(r$cf[1], r$s), delta(diag(c(1, r$s)), r$v))
  },
  gamma = {
    if (requireNamespace("fitdistrplus", quietly = TRUE)) {
      cd <- data.frame(left = t, right = ifelse(ev == 1, t, NA))
      f <- fitdistrplus::fitdistcens(cd, "gamma", start = list(shape = 2, rate = 0.5),
                                     control = list(reltol = 1e-15, maxit = 1000))
      out(c(f$estimate[["rate"]], f$estimate[["shape"]]), c(f$sd[["rate"]], f$sd[["shape"]]))
    } else {
      e <- ev == 1
      r <- mle(function(p) sum(dgamma(t[e], p[2], p[1], log = TRUE)) +
                 sum(pgamma(t[!e], p[2], p[1], lower.tail = FALSE, log.p = TRUE)), c(0.5, 2))
      out(r$est, r$se)
    }
  },
  gengamma = {
    # Stacy's law: (t/b)^c is gamma with shape a.
    e <- ev == 1
    lt <- log(t)
    r <- mle(function(p) {
      a <- p[1]; b <- p[2]; cc <- p[3]
      ly <- cc * (lt - log(b)); y <- exp(ly)
      sum(log(cc) + a * ly[e] - y[e] - lt[e] - lgamma(a)) + sum(pgamma(y[!e], a, lower.tail = FALSE, log.p = TRUE))
    }, c(1.5, 4, 1.2))
    out(r$est, r$se)
  })
