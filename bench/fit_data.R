# Data sets for bench/fit_vs_r.sh: right-censored samples (about 30%
# censored) of eight fits, with fixed seeds.
#   Rscript bench/fit_data.R OUTDIR ROWS
# Each line: time, event (1) or right-censored (0), covariates. Written with
# 17 significant digits and no "+" in exponents, so both tools read the
# same numbers.
args <- commandArgs(trailingOnly = TRUE)
out <- args[1]
n <- as.integer(args[2])

# Censoring times uniform on (0, u), u set so that about 30% are censored.
censor <- function(t, share = 0.3) {
  f <- function(u) mean(runif(length(t), 0, u) < t) - share
  set.seed(99)
  u <- uniroot(f, c(1e-9, 50 * max(t)))$root
  set.seed(101)
  c <- runif(length(t), 0, u)
  list(time = pmin(t, c), event = as.integer(t <= c))
}

write_case <- function(name, t, X = NULL) {
  d <- censor(t)
  m <- cbind(d$time, d$event, X)
  text <- gsub("e\\+", "e", sprintf("%.17g", m))
  lines <- do.call(paste, as.data.frame(matrix(text, nrow = nrow(m))))
  writeLines(lines, file.path(out, paste0(name, ".dat")))
}

# Weibull proportional hazards: scale 10, shape 1.5, coefficients beta.
weib <- function(X, beta) {
  k <- exp(drop(X %*% beta))
  rweibull(nrow(X), shape = 1.5, scale = 10 * k^(-1 / 1.5))
}
set.seed(1)
X <- cbind(rbinom(n, 1, 0.5))
write_case("weib1", weib(X, 0.7), X)
set.seed(5)
X <- cbind(rnorm(n), rbinom(n, 1, 0.4), runif(n), rnorm(n), rbinom(n, 1, 0.5))
write_case("weib5", weib(X, c(0.5, -0.6, 1.2, 0.3, -0.2)), X)
set.seed(2)
write_case("lnorm", rlnorm(n, 2, 0.8))
set.seed(3)
write_case("llogis", exp(rlogis(n, 2, 0.5)))
set.seed(4)
write_case("gauss", rnorm(n, 10, 3))
set.seed(6)
write_case("gamma", rgamma(n, shape = 2.5, rate = 0.4))
set.seed(7)
write_case("gengamma", 5 * rgamma(n, shape = 2)^(1 / 1.5))
set.seed(8)
write_case("exp", rexp(n, 0.1))
