"""The tallyon module as a Python program uses it."""

import cmath
import math
import threading
import unittest

import tallyon


class Evaluate(unittest.TestCase):
    def test_real_values_are_floats_and_others_complex(self):
        engine = tallyon.Engine()
        cases = [
            ("2*(3+4)", 14.0, float),
            ("(3,4)*2", complex(6, 8), complex),
            ("#SQRT(-4)", 2j, complex),
            ("#ABS((3,4))", 5.0, float),
            ("1/8", 0.125, float),
        ]
        for text, expected, kind in cases:
            with self.subTest(text=text):
                value = engine.evaluate(text)
                self.assertIs(type(value), kind)
                self.assertEqual(value, expected)

    def test_polar_form_reads_back(self):
        value = tallyon.Engine().evaluate("2<90")
        self.assertAlmostEqual(abs(value), 2.0, places=15)
        self.assertAlmostEqual(cmath.phase(value), math.pi / 2, places=15)

    def test_faults_raise_with_message_and_columns(self):
        engine = tallyon.Engine()
        cases = [
            ("2+", "Missing operand after", 2, 2),
            ("  1/0", "Division by zero", 4, 4),
            ("X*2", "Parameter used before being defined", 1, 1),
            ("\u00e9+\u221e", "Illegal character used", 3, 3),
        ]
        for text, message, first, last in cases:
            with self.subTest(text=text):
                with self.assertRaises(tallyon.ExpressionError) as caught:
                    engine.evaluate(text)
                self.assertEqual((caught.exception.message, caught.exception.first, caught.exception.last),
                                 (message, first, last))

    def test_real_only(self):
        engine = tallyon.Engine()
        engine.set_real_only()
        with self.assertRaises(tallyon.ExpressionError) as caught:
            engine.evaluate("(1,2)")
        self.assertTrue(caught.exception.message.startswith("Expression has non-zero imaginary part."))
        self.assertEqual(engine.evaluate("3"), 3.0)


class Parameters(unittest.TestCase):
    def test_define_and_use(self):
        engine = tallyon.Engine()
        engine.define("LENGTH", "2.5", comment="metres")
        engine.define("IN", "2.54", factor_only=True)
        engine.define("AREA", "LENGTH^2")
        self.assertEqual(engine.evaluate("area*2"), 12.5)
        self.assertEqual(engine.evaluate("3-IN"), 3 * 2.54)  # a sign before a factor-only entry is a product
        self.assertEqual([(p.name, p.comment, p.factor_only, p.value) for p in engine.parameters()],
                         [("LENGTH", "metres", False, 2.5), ("IN", "", True, 2.54), ("AREA", "", False, 6.25)])
        engine.define("LENGTH", "3")  # changed in place; AREA follows
        self.assertEqual(engine.parameters()[2].value, 9.0)
        engine.delete("length")
        self.assertEqual(len(engine), 2)
        self.assertIsNone(engine.parameters()[1].value)  # AREA lost what it used
        with self.assertRaises(KeyError):
            engine.delete("LENGTH")

    def test_refused_definitions_raise_and_change_nothing(self):
        engine = tallyon.Engine()
        engine.define("A", "1")
        cases = [
            ("1X", "2", "The given name \"1X\" is not a legal parameter name.  Parameter names must start with a letter."),
            ("D2", "2", "The given name \"D2\" is not a legal parameter name.  Parameter names starting with a 'D' or "
                        "'E' must be followed by a letter, i.e., have a letter as their second character."),
            ("B", "A+", "Missing operand after"),
            ("A", "1/0", "Division by zero"),
        ]
        for name, expression, message in cases:
            with self.subTest(name=name, expression=expression):
                with self.assertRaises(tallyon.ParameterError) as caught:
                    engine.define(name, expression)
                self.assertEqual(caught.exception.message, message)
                self.assertEqual(engine.write_list(), "A=1 !\n")

    def test_engines_keep_their_tables_apart(self):
        a, b = tallyon.Engine(), tallyon.Engine()
        a.define("X", "1")
        b.define("X", "2")
        self.assertEqual((a.evaluate("X"), b.evaluate("X")), (1.0, 2.0))
        a.close()
        with self.assertRaises(ValueError):
            a.evaluate("1")
        self.assertEqual(b.evaluate("X*3"), 6.0)

    def test_list_text_round_trip_with_its_notices(self):
        engine = tallyon.Engine()
        notices = engine.read_list("A=1 !one\n1X=2\nC=2+\n", source="units.par")
        self.assertEqual(notices, [
            ("BAD NAME", "The given name \"1X\" is not a legal parameter name.  Parameter names must start with a "
                         "letter.", ""),
            ("EXPRESSION ERROR", "Missing operand after", "parameter \"C\" of \"units.par\""),
        ])
        self.assertEqual(engine.write_list(), "A=1 !one\nC=2+ !\n")
        # Windows-1252 bytes are read as that code page.
        engine.read_list(b"CAF\xc9=3\n")
        self.assertEqual(engine.evaluate("caf\u00e9"), 3.0)

    def test_names_used(self):
        engine = tallyon.Engine()
        self.assertEqual(engine.names_used("2*LENGTH + width*length + #SQRT(area)"), ["LENGTH", "width", "area"])
        with self.assertRaises(tallyon.ExpressionError):
            engine.names_used("2*(")


class Functions(unittest.TestCase):
    def test_a_python_function_in_an_expression(self):
        engine = tallyon.Engine()
        engine.function("HYP", lambda x, y: math.hypot(x, y), 2)
        engine.function("ROT", lambda z, *more: z * 1j, 1, 3)
        self.assertEqual(engine.evaluate("2*#HYP(3,4)"), 10.0)
        self.assertEqual(engine.evaluate("#rot((1,2))"), complex(-2, 1))

        def fails(x):
            raise ValueError("Argument out of range")

        engine.function("BAD", fails)
        with self.assertRaises(tallyon.ExpressionError) as caught:
            engine.evaluate("1+#BAD(2)")
        self.assertEqual((caught.exception.message, caught.exception.first, caught.exception.last),
                         ("Argument out of range", 3, 9))
        with self.assertRaises(ValueError):
            engine.function("SQRT", math.sqrt)
        with self.assertRaises(tallyon.ExpressionError):
            tallyon.Engine().evaluate("#HYP(3,4)")  # another engine does not know it


class Threads(unittest.TestCase):
    def test_engines_on_threads_agree_with_one_alone(self):
        lines = [f"({i % 17},{i % 5})*#SQRT({i})/{1 + i % 7}+P^2" for i in range(3000)]

        def run():
            engine = tallyon.Engine()
            engine.define("P", "1.25")
            return [engine.evaluate(line) for line in lines]

        alone = run()
        results = [None] * 4

        def work(k):
            results[k] = run()

        threads = [threading.Thread(target=work, args=(k,)) for k in range(4)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        for k, mine in enumerate(results):
            self.assertEqual(mine, alone, f"thread {k}")


class Version(unittest.TestCase):
    def test_version_has_three_numbers(self):
        self.assertRegex(tallyon.version(), r"^\d+\.\d+\.\d+$")


if __name__ == "__main__":
    unittest.main()
