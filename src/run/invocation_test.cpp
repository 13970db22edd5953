#include "run/invocation.h"

#include <gtest/gtest.h>

namespace trelvane {
namespace {

Arguments Args(std::initializer_list<const char*> given) {
  Arguments arguments;
  int i = 0;
  for (const char* argument : given) arguments.Items[i++] = argument;
  return arguments;
}

TEST(InvocationTest, ExchangeFileNameKeepsTheStemAndMarksTheExtension) {
  struct Case {
    const char* argument;
    const char* want;
  } cases[] = {
      {"Router01.Prf", "Router01.Xrf"},
      {"Core.Dat", "Core.Xat"},
      {"Switch", "Sw.Xch"},
      {"Profiler.Prf", "Profiler.Xxx"},
      {"ProfilerTest.Prf", "Profiler.Xxx"},
      {"profiler.prf", "profiler.Xrf"},
      {"Profiler", "Prof.Xer"},
      {"abc", ".Xbc"},
      {"a", ".Xa"},
      {"", ".X"},
      {"ab.x", ".X.x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(DeriveExchangeFileName(c.argument), c.want);
  }
}

TEST(InvocationTest, ParameterLineJoinsArgumentsAndTrimsAfterEach) {
  struct Case {
    Arguments arguments;
    const char* want;
  } cases[] = {
      {Args({"Router01.Prf"}), "Router01.Prf"},
      {Args({"Router01.Prf", "Slct=Eth1", "/Check"}), "Router01.Prf Slct=Eth1 /Check"},
      {Args({"Router01.Prf", "", "Slct=Eth1"}), "Router01.Prf Slct=Eth1"},
      {Args({"Router01.Prf", " Slct=Eth1"}), "Router01.Prf  Slct=Eth1"},
      {Args({"Router01.Prf", "   ", "x  "}), "Router01.Prf x"},
      {Args({"  a", "b"}), "a b"},
      {Args({"a", "b", "c", "d", "e"}), "a b c d e"},
      {Args({}), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(BuildParameterLine(c.arguments), c.want);
  }
}

TEST(InvocationTest, OptionsAreFoundWithExactCaseAnywhere) {
  EXPECT_TRUE(IsProfilerMode("Router01.Prf Profiler.Prf"));
  EXPECT_FALSE(IsProfilerMode("profiler.prf"));
  EXPECT_TRUE(HasCheckOption("Router01.Prf /CheckAll"));
  EXPECT_FALSE(HasCheckOption("Router01.Prf /check"));
}

TEST(InvocationTest, RequestParametersLoseRemarksAndTheProfilerPrefix) {
  struct Case {
    const char* line;
    const char* want;
  } cases[] = {
      {"Router01.Prf Slct=Eth1", "Router01.Prf Slct=Eth1"},
      {"Router01.Prf Slct=Eth1 @Monitor", "Router01.Prf Slct=Eth1"},
      {"Router01.Prf #3 Slct=Eth1", "Router01.Prf"},
      {"Router01.Prf (Parameters)", "Router01.Prf"},
      {"(Parameters) Router01.Prf", ""},
      {"Profiler.Prf Slct=Eth1 /Check", "Slct=Eth1 /Check"},
      {"Profiler.Prf", ""},
      {"Router01.Prf  @x", "Router01.Prf "},
      {"a (b @c #d", "a"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(DeriveRequestParameters(c.line), c.want);
  }
}

TEST(InvocationTest, SelectFilterIsTheTextBehindSlctUpToAComma) {
  const std::string long_filter(120, 'f');
  struct Case {
    std::string parameters;
    std::string want;
  } cases[] = {
      {"Router01.Prf", ""},
      {"Router01.Prf Slct=Eth1", "Eth1"},
      {"Router01.Prf Slct=All", ""},
      {"Router01.Prf Slct=Allports", ""},
      {"Router01.Prf Slct=all", "all"},
      {"Router01.Prf Slct=Eth1,Eth2", "Eth1"},
      {"Router01.Prf Slct=,Eth1", ""},
      {"Router01.Prf Slct=", ""},
      {"Router01.Prf Slct=Eth1 /Check", "Eth1 /Check"},
      {"/Check Slct=Eth1", "Eth1"},
      {"slct=Eth1", ""},
      {"Slct=" + long_filter + ",x", long_filter.substr(0, 99)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parameters);
    EXPECT_EQ(DeriveSelectFilter(c.parameters), c.want);
  }
}

TEST(InvocationTest, SummarySubjectIsTheFirstWordBehindTheFirstEquals) {
  struct Case {
    const char* line;
    const char* want;
  } cases[] = {
      {"Router01.Prf Slct=Eth1", "Eth1"}, {"Router01.Prf Slct=Eth1,Eth2 /Check", "Eth1,Eth2"},
      {"Router01.Prf Slct=All", "All"},   {"Router01.Prf /Check", "Router01.Prf"},
      {"Router01.Prf Slct= Eth1", ""},    {"a=b=c", "b=c"},
      {"Router01.Prf @x=y", "y"},         {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(DeriveSummarySubject(c.line), c.want);
  }
}

}  // namespace
}  // namespace trelvane
