# Kaplan-Meier reference values for tests/programs/survival/kaplan_meier.zav:
# writes the lung and ovarian data of R's survival package (status 1 death,
# 0 censored) and prints survfit's estimate and log-log 95% limits.
library(survival)
l <- data.frame(time = lung$time, status = as.integer(lung$status == 2))
write.table(l, "lung.dat", row.names = FALSE, quote = FALSE)
o <- data.frame(time = ovarian$futime, status = ovarian$fustat)
write.table(o, "ovarian.dat", row.names = FALSE, quote = FALSE)
for (d in list(l, o)) {
  f <- survfit(Surv(time, status) ~ 1, data = d, conf.type = "log-log")
  s <- summary(f)
  cat(length(s$time), "death times\n")
  idx <- unique(c(1:3, length(s$time) - 1, length(s$time)))
  for (i in idx) cat(sprintf("%d %g %.15f %.15f %.15f\n", i, s$time[i], s$surv[i], s$lower[i], s$upper[i]))
}
