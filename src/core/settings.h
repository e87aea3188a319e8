// The interpreter's own variables behind the bound predefined symbols: a
// program assignment to one of those symbols writes straight into these
// fields, so every solver, printer and reader sees it at once.
#pragma once
#include <cstdint>
#include <string>

#include "exec/textfile.h"
#include "symbols/value.h"

namespace zav {

struct Settings {
  // Run state and switches
  bool symbolInfin = true;
  bool batchMode = false;
  bool verbose = false;
  bool termFile = false;
  bool readStartFile = false;
  bool writeStartFile = false;
  bool parseOnly = false;
  std::int32_t debug = 0;
  bool debugSym = false;
  bool debugExec = false;
  bool debugEcho = false;
  bool debugParse = false;
  bool debugData = false;
  bool debugInt = false;
  bool debugLik = false;
  std::int32_t dIdx = 0;
  std::int32_t profileIndex = 0;
  Real profileTime = 0;
  std::int32_t maxChildren = 1;
  std::int32_t waitOnChild = 1000;

  // Files
  TextFile fData, fInput, fOutput, fOutFile, fPlot, fPlotData;
  std::string readDelimiters = " \t,\n\r";
  std::string writeDelimiter;

  // Data results
  std::int32_t lineNumb = 0, nObs = 0, droppedObs = 0, totalObs = 0, nVars = 0, createObs = 0;

  // Optimisation
  std::int32_t maxIter = 100, maxTime = 0, maxEvals = 100000, minimumIts = 1;
  Real epsilon = 0.00001L;
  std::int32_t iterationPrint = 0;
  Real diffDx = 0.001L;
  std::int32_t brentIts = 200;
  Real brentMagic = 0.381966L;
  Real largeZero = 1E-20L;
  Real saCooling = 0.85L;
  std::int32_t saAdjCycles = 20, saSteps = 5;
  Real saTemperature = 1000;
  std::int32_t saEpsNumber = 4;
  Real saStepLength = 1, saStepLengthAdj = 2, saAdjLowerBound = 0.4L;
  bool saAltAdjustment = false;
  Real simplexAlpha = 1, simplexBeta = 0.5L, simplexGamma = 2;
  Real dxStart = 0.05L;
  std::int32_t dxMaxIts = 12;
  Real dxTooBig = 0.3L, dxTooSmall = 0.01L;
  std::int32_t randomSeed = -1;

  // Results published by estimation
  Real logLikelihood = 0;
  std::int32_t freeParams = 0;
  Real deltaLL = 0;
  bool invertFlag = false;
  std::int32_t convergeFlag = 0, iterations = 0, evals = 0, vcvEvals = 0, ciEvals = 0;

  // Likelihood bounds
  Real largestLikelihood = 0, smallestLikelihood = 0, largestLLikelihood = 0, smallestLLikelihood = 0;

  // Model selection
  bool aicSelect = false, aiccSelect = false, bicSelect = false;
  Real icSampleSize = 0;

  // Printing and plotting
  bool printReduced = false;
  std::int32_t realWidth = 12, realDecimals = 5, complexWidth = 7, complexDecimals = 2;
  Real distErrC = 1, distDxScale = 0.25L;
  std::int32_t plotPoints = 100;
  std::string multiPlotInit = "set size 1,1; set origin 0,0";
  Real mPlotXScale = 1, mPlotYScale = 1;

  // Numerical calculus
  std::int32_t integrateN = 100, integrateMethod = 4;
  Real integrateTol = 1E-8L;
  std::int32_t findMaxIts = 100;
  Real findEps = 0.00001L;
  Real dfTimeO = 0, dfTimeC = 0;

  // Distribution switches
  bool altLogistic = false, altVQuantile = false, expHazard = true;

  // Constants that are bound
  Real radiansPerDegree = 0, degreesPerRadian = 0, secondsPerDay = 86400;

  // Machine constants
  Real machineEpsilon = 0, sqrtEpsilon = 0, smallestNumber = 0, lnInfinity = 0;
  Real infinity = 0, oo = 0, negInfinity = 0, nan = 0;
};

}  // namespace zav
