# Data and reference fits for bench/bfgs_compare.sh: Weibull proportional-
# hazards samples with fixed seeds, and each model's maximum log-likelihood
# by Newton's method with the analytic gradient and Hessian.
#   Rscript bench/bfgs_data.R OUTDIR
# The hazard of observation i is k_i b t^(b-1) / a^b with k_i = exp(x_i'beta)
# (the WEIBULL PDF with a HAZARD clause), so S_i(t) = exp(-k_i (t/a)^b).
# Each data line: time, event (1) or right-censored (0), covariates.
args <- commandArgs(trailingOnly = TRUE)
out <- if (length(args) > 0) args[1] else "."

simulate <- function(n, a, b, beta, X, cens) {
  k <- exp(drop(X %*% beta))
  t <- rweibull(n, shape = b, scale = a * k^(-1 / b))
  c <- cens(n)
  list(time = pmin(t, c), event = as.integer(t <= c), X = X)
}

# Newton in the parametrisation (c = -b ln a, b, beta), where the
# log-likelihood is sum d (ln b + (b-1) ln t + eta) - sum t^b exp(eta) with
# eta = c + x'beta; it is concave in (c, beta) for fixed b.
newton <- function(d) {
  lt <- log(d$time); ev <- d$event; X <- d$X; p <- ncol(X)
  ll <- function(th) {
    b <- th[2]; eta <- th[1] + drop(X %*% th[-(1:2)])
    sum(ev * (log(b) + (b - 1) * lt + eta)) - sum(exp(b * lt + eta))
  }
  th <- c(0, 1, rep(0, p))
  for (it in 1:200) {
    b <- th[2]; eta <- th[1] + drop(X %*% th[-(1:2)]); H <- exp(b * lt + eta)
    Z <- cbind(1, X)  # columns for c and beta
    gz <- colSums((ev - H) * Z)
    gb <- sum(ev * (1 / b + lt)) - sum(H * lt)
    hzz <- -crossprod(Z * H, Z)
    hzb <- -colSums(H * lt * Z)
    hbb <- -sum(ev) / b^2 - sum(H * lt^2)
    g <- c(gz[1], gb, gz[-1])
    Hm <- matrix(0, p + 2, p + 2)
    iz <- c(1, 3:(p + 2))
    Hm[iz, iz] <- hzz; Hm[iz, 2] <- hzb; Hm[2, iz] <- hzb; Hm[2, 2] <- hbb
    step <- -solve(Hm, g)
    f0 <- ll(th); s <- 1
    while (!is.finite(ll(th + s * step)) || th[2] + s * step[2] <= 0 || ll(th + s * step) < f0 - 1e-12) s <- s / 2
    th <- th + s * step
    if (max(abs(g)) < 1e-9 && it > 3) break
  }
  c(ll = ll(th), a = exp(-th[1] / th[2]), b = th[2], beta = th[-(1:2)])
}

# The reference is fitted to the data as written (17 significant digits;
# zav's number reader takes no "+" in an exponent), so both tools see the
# same numbers.
write_case <- function(name, d) {
  m <- cbind(d$time, d$event, d$X)
  text <- gsub("e\\+", "e", sprintf("%.17g", m))
  lines <- apply(matrix(text, nrow = nrow(m)), 1, paste, collapse = " ")
  file <- file.path(out, paste0(name, ".dat"))
  writeLines(lines, file)
  r <- as.matrix(read.table(file))
  ref <- newton(list(time = r[, 1], event = r[, 2], X = r[, -(1:2), drop = FALSE]))
  writeLines(sprintf("%s %.15g", names(ref), ref), file.path(out, paste0(name, ".ref")))
}

# One binary covariate, 600 observations, administrative censoring.
set.seed(20261208)
n <- 600
X <- cbind(rbinom(n, 1, 0.5))
write_case("weib600", simulate(n, 10, 1.5, 0.7, X, function(n) runif(n, 5, 30)))

# Three covariates: continuous, binary, uniform.
set.seed(7)
n <- 800
X <- cbind(rnorm(n), rbinom(n, 1, 0.4), runif(n))
write_case("weib3cov", simulate(n, 20, 0.8, c(0.5, -0.6, 1.2), X, function(n) runif(n, 10, 100)))

# Lung-like: age 40..80 as recorded and sex coded 1/2, uncentred, so the
# scale (the intercept) and the age coefficient are strongly correlated.
set.seed(1997)
n <- 228
X <- cbind(sample(40:80, n, replace = TRUE), sample(1:2, n, replace = TRUE, prob = c(0.6, 0.4)))
write_case("weibage", simulate(n, 800, 1.3, c(0.017, -0.5), X, function(n) runif(n, 200, 1000)))

# 100,000 observations, the model of weib600.
set.seed(100000)
n <- 100000
X <- cbind(rbinom(n, 1, 0.5))
write_case("weib100k", simulate(n, 10, 1.5, 0.7, X, function(n) runif(n, 5, 30)))

# The survival package's lung data (NCCTG lung cancer trial), age and sex
# as recorded; status 2 is a death.
if (requireNamespace("survival", quietly = TRUE)) {
  lung <- survival::lung
  write_case("lung", list(time = lung$time, event = as.integer(lung$status == 2),
                          X = cbind(lung$age, lung$sex)))
}
