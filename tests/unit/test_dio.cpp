// Digital I/O roles and the output test's schedule.
#include "config/checks.h"
#include "keepglobals.h"
#include "devices/dio.h"
#include "devices/dioserial.h"
#include "somato/diotest.h"
#include "test_options_util.h"

namespace {

// Parsing and the checks as start-up makes them, then the role set-up.
void rolesquiet(int type, const std::vector<std::string>& opts) {
  parsequiet(type, opts);
  testing::internal::CaptureStdout();
  postparsechecks();
  std::fflush(stdout);
  (void)testing::internal::GetCapturedStdout();
  setupdio();
}

}  // namespace

TEST(DioRoles, OutputRolesWinOverAnUnusedTrigger) {
  KeepGlobals keep;
  // All four ports as outputs (the output test): the default trigger bit
  // stays an output while no pulse is awaited.
  rolesquiet(113, {"-addport2set", "0", "A", "-addport2set", "0", "B", "-addport2set", "0", "C", "-addport2set",
                   "0", "D"});
  EXPECT_EQ(par.usbbitsstate[0][1][0], 4);
  rolesquiet(0, {"-sxcode2ttl", "-sxcode", "-logrespbits"});
  EXPECT_EQ(par.usbbitsstate[0][2][7], 3);
  EXPECT_EQ(par.usbbitsstate[0][3][0], 2);
  EXPECT_EQ(par.usbbitsstate[0][1][0], 1);
}

TEST(DioRoles, ImpossibleCombinationsStop) {
  KeepGlobals keep;
  // A box named, so that a pulse wait can come: the roles are what is refused.
  setenv("VISTRUM_DIO", "sim:/nonexistent", 1);
  EXPECT_FATAL(rolesquiet(0, {"-waitforpulse", "3", "-addport2set", "0", "B"}),
               "trigger bit 0 B 0 is on an output port \\(-addport2set\\)");
  EXPECT_FATAL(rolesquiet(0, {"-waitforpulse", "2", "-sxcode2ttl", "-sxcode", "-usbcodeport", "0", "B"}),
               "trigger bit 0 B 0 is on the code output port \\(-usbcodeport\\)");
  EXPECT_FATAL(rolesquiet(0, {"-logrespbits", "-addport2set", "0", "D"}),
               "response port 0 D is an output port \\(-addport2set\\)");
  EXPECT_FATAL(rolesquiet(0, {"-logrespbits", "-airpuffbyte", "-usbcodeport", "0", "D"}),
               "response port 0 D is the code output port \\(-usbcodeport\\)");
  EXPECT_FATAL(rolesquiet(0, {"-sxcode2ttl", "-sxcode", "-addport2set", "0", "C"}),
               "code port 0 C is also in the output bit group \\(-addport2set\\)");
  // Unused roles are not checked, and a key trigger needs no trigger bit.
  rolesquiet(0, {"-addport2set", "0", "B"});
  rolesquiet(0, {"-waitforpulse", "3", "-fivekeytrigger", "-addport2set", "0", "B"});
  // Boxes that are not attached.
  parsequiet(0, {"-addport2set", "1", "A", "-logrespbits", "-usbrespport", "2", "C"});
  EXPECT_FATAL(checkdioroles(1), "-addport2set 1 A: box 1 not attached \\(1 box\\(es\\) found\\)");
  parsequiet(0, {"-logrespbits", "-usbrespport", "2", "C"});
  EXPECT_FATAL(checkdioroles(2), "response port 2 C: box 2 not attached");
  checkdioroles(3);
  unsetenv("VISTRUM_DIO");
}

TEST(DioOutputTest, IntervalsBitsAndPause) {
  // 68 intervals of puffdur: bit d/2 in the even ones, a pause at 64..67.
  EXPECT_EQ(testDIO32interval(0.0, 0.1), 0);
  EXPECT_EQ(testDIO32bit(testDIO32interval(0.05, 0.1)), 0);
  EXPECT_EQ(testDIO32bit(testDIO32interval(0.15, 0.1)), -1);
  EXPECT_EQ(testDIO32bit(testDIO32interval(6.25, 0.1)), 31);
  for (int d = 63; d < 68; d++) EXPECT_EQ(testDIO32bit(d), -1) << d;
  EXPECT_EQ(testDIO32interval(6.85, 0.1), 0);  // the next cycle
  EXPECT_EQ(testDIO32interval(-0.05, 0.1), 67);
}

TEST(SerialBoxConfig, DeviceSpeedBytesAndCodes) {
  const SerialConfig d = parseserialconfig("/dev/ttyUSB0");
  EXPECT_EQ(d.device, "/dev/ttyUSB0");
  EXPECT_EQ(d.baud, 115200);
  EXPECT_EQ(d.pulse, '5');
  EXPECT_EQ(d.buttoncnt, 4);
  EXPECT_EQ(d.buttons[3], '4');
  EXPECT_FALSE(d.codes);
  const SerialConfig c = parseserialconfig("/dev/ttyACM1,9600,pulse=116,buttons=0x62:0x79,codes");
  EXPECT_EQ(c.baud, 9600);
  EXPECT_EQ(c.pulse, 116);
  ASSERT_EQ(c.buttoncnt, 2);
  EXPECT_EQ(c.buttons[0], 0x62);
  EXPECT_EQ(c.buttons[1], 0x79);
  EXPECT_TRUE(c.codes);
  EXPECT_FATAL(parseserialconfig(""), "no device named");
  EXPECT_FATAL(parseserialconfig("/dev/x,pulse=256"), "pulse byte \"256\" is not a byte");
  EXPECT_FATAL(parseserialconfig("/dev/x,buttons=1:2:3:4:5:6:7:8:9"), "at most 8 buttons");
  EXPECT_FATAL(parseserialconfig("/dev/x,pulse=0x31"), "byte 0x31 is mapped twice");
}

// Values as the README writes them (decimal or 0x..): a leading zero is no
// octal mark, and a second speed is refused, not silently taken.
TEST(SerialBoxConfig, BytesAreDecimalOrHexAndOneSpeedOnly) {
  EXPECT_EQ(parseserialconfig("/dev/x,pulse=053").pulse, 53);
  EXPECT_EQ(parseserialconfig("/dev/x,pulse=0X35").pulse, 0x35);
  const SerialConfig c = parseserialconfig("/dev/x,buttons=010:011");
  EXPECT_EQ(c.buttons[0], 10);
  EXPECT_EQ(c.buttons[1], 11);
  EXPECT_FATAL(parseserialconfig("/dev/x,pulse=0x"), "pulse byte \"0x\" is not a byte");
  EXPECT_FATAL(parseserialconfig("/dev/x,pulse=0x-1"), "is not a byte");
  EXPECT_FATAL(parseserialconfig("/dev/x,pulse= 5"), "is not a byte");
  EXPECT_FATAL(parseserialconfig("/dev/x,pulse=5a"), "is not a byte");
  EXPECT_FATAL(parseserialconfig("/dev/x,9600,57600"), "two speeds given \\(9600 and 57600\\): name one");
  EXPECT_FATAL(parseserialconfig("/dev/x,9600,9600"), "two speeds given");
}
