# Reference values for the censored Weibull fit of examples/weibull.zav
# (tests/programs/model/weibull_censored.zav): R's survreg fits
# log T = mu + gamma * group + sigma * W, which is the proportional-hazards
# Weibull with scale exp(mu), shape 1/sigma and b_group = -gamma/sigma.
#   Rscript bench/weibull_survreg.R   (needs R with its survival package)
library(survival)
d <- read.table("examples/survival.dat", header = TRUE)
ctl <- survreg.control(rel.tolerance = 1e-13, maxiter = 100)
full <- survreg(Surv(time, status) ~ group, data = d, dist = "weibull", control = ctl)
cf <- coef(full)
v <- vcov(full)  # of (mu, gamma, log sigma)
s <- full$scale
# Delta method for (scale, shape, b_group) from (mu, gamma, log sigma).
J <- rbind(c(exp(cf[1]), 0, 0), c(0, 0, -1 / s), c(0, -1 / s, cf[2] / s))
se <- sqrt(diag(J %*% v %*% t(J)))
reduced <- survreg(Surv(time, status) ~ 1, data = d, dist = "weibull", control = ctl)
cat(sprintf("full:    scale %.8f shape %.8f b_group %.8f LL %.8f\n", exp(cf[1]), 1 / s, -cf[2] / s, logLik(full)))
cat(sprintf("full SE: scale %.6f shape %.6f b_group %.6f\n", se[1], se[2], se[3]))
cat(sprintf("reduced: scale %.8f shape %.8f LL %.8f\n", exp(coef(reduced)[1]), 1 / reduced$scale, logLik(reduced)))
