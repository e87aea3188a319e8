# Profile-likelihood intervals by hand (optim re-fits the other parameters,
# uniroot finds where the log-likelihood has dropped by CI_CHISQ), for the
# models of tests/programs/model/profile_ci.zav on examples/survival.dat.
# Run from the source tree: Rscript bench/profile_ci.R
args <- commandArgs(trailingOnly = TRUE)
d <- read.table(if (length(args)) args[1] else "examples/survival.dat", header = TRUE)
t <- d$time; ev <- d$status == 1; g <- d$group
drop <- 1.92073
weib <- function(p) {  # scale, shape, b_group: S = exp(-(t/a)^b * exp(c*g))
  a <- p[1]; b <- p[2]; k <- if (length(p) > 2) exp(p[3] * g) else 1
  H <- (t / a)^b * k
  sum(ifelse(ev, log(k) + log(b) + (b - 1) * log(t) - b * log(a), 0) - H)
}
lnorm <- function(p) {  # mean a and sd b of T itself
  a <- p[1]; b <- p[2]; s <- sqrt(log(1 + (b / a)^2)); m <- log(a) - s^2 / 2
  sum(ifelse(ev, dlnorm(t, m, s, log = TRUE), plnorm(t, m, s, lower.tail = FALSE, log.p = TRUE)))
}
# Positive parameters are fitted on the log scale, where the optimiser's
# steps are even; nlminb then polishes to full precision.
tr <- function(u) if (length(u) > 2) c(exp(u[1:2]), u[3]) else exp(u)
untr <- function(p) if (length(p) > 2) c(log(p[1:2]), p[3]) else log(p)
polish <- function(f, u) {
  o <- optim(u, f, method = "BFGS", control = list(reltol = 1e-15, maxit = 10000))
  nlminb(o$par, f, control = list(rel.tol = 1e-15, x.tol = 1e-15, eval.max = 10000, iter.max = 10000))
}
profile_limits <- function(ll, start) {
  best <- polish(function(u) -ll(tr(u)), untr(start)); est <- tr(best$par); lmax <- -best$objective
  prof <- function(k, v) {
    f <- function(q) { u <- untr(est); u[-k] <- q; p <- tr(u); p[k] <- v; -ll(p) }
    -polish(f, untr(est)[-k])$objective
  }
  for (k in seq_along(est)) {
    r <- function(v) lmax - prof(k, v) - drop
    w <- 10 * abs(est[k]) + 1
    lo <- if (k == 3) est[k] - w else est[k] * 0.05
    lci <- uniroot(r, c(lo, est[k]), tol = 1e-13)$root
    uci <- uniroot(r, c(est[k], est[k] + w), tol = 1e-13)$root
    cat(sprintf("%d %.10f %.10f %.10f\n", k, est[k], lci, uci))
  }
  cat(sprintf("loglik %.10f\n", lmax))
}
cat("weibull 3\n"); profile_limits(weib, c(5, 1, 0))
cat("weibull 2\n"); profile_limits(weib, c(5, 1))
cat("lognormal 2\n"); profile_limits(lnorm, c(8, 5))
