//! hashbench-bench-rust: Rust's indexmap (IndexSet<String> / IndexMap<String,
//! String> with its default hasher) on the program's seven passes, with the
//! suite's keys. It speaks hashbench-bench's command line and writes its lines:
//!
//!   hashbench-bench-rust list                     name peer form label
//!   hashbench-bench-rust check                    keys and pass results are right
//!   hashbench-bench-rust passes NAME N ASC_LIMIT  name n ticks of the 7 passes
//!   hashbench-bench-rust memory NAME bag|map N    name kind n bytes-per-key
//!
//! Two forms, as for every peer: "indexmap" is held to the program's contract
//! (a key or value read by position or by key is the caller's own new
//! String), "indexmap-ref" reads by reference. In both, every key crosses into
//! insert as one new owned String, and a removal by position is
//! shift_remove_index, which renumbers the entries behind it.
use indexmap::{IndexMap, IndexSet};
use std::process::ExitCode;

const KEY_LENGTH: usize = 20;
const SEED_START: u32 = 0xFFFF_FFFF;
const SEED_MULTIPLIER: u32 = 134_775_813;
const SEED_INCREMENT: u32 = 1;
const PASS_COUNT: usize = 7;
const NOT_RUN: i64 = -1;

/// The suite's key generator (bench/key_generator.h): the program's keys in
/// the program's order, each a new String of 20 capital letters.
struct Keys {
    seed: u32,
}

impl Keys {
    fn new() -> Self {
        Keys { seed: SEED_START }
    }

    fn next(&mut self) -> String {
        let mut letters = [0u8; KEY_LENGTH];
        for letter in letters.iter_mut() {
            self.seed = self.seed.wrapping_mul(SEED_MULTIPLIER).wrapping_add(SEED_INCREMENT);
            *letter = b'A' + ((u64::from(self.seed >> 1) * 26) >> 31) as u8;
        }
        // Capital letters only: always valid UTF-8.
        String::from_utf8(letters.to_vec()).unwrap_or_default()
    }
}

fn ticks() -> i64 {
    // SAFETY: RDTSC has no preconditions on x86-64.
    unsafe { core::arch::x86_64::_rdtsc() as i64 }
}

#[derive(Clone, Copy, PartialEq)]
enum Form {
    SameContract,
    ByReference,
}

const CONTENDERS: [(&str, Form); 2] = [("indexmap", Form::SameContract), ("indexmap-ref", Form::ByReference)];
const LABEL: &str = "Rust indexmap::IndexSet / IndexMap<String, String>";

#[derive(Default)]
struct Counts {
    count: [i32; PASS_COUNT],
    lookup_mismatches: i32,
    map_missing: i32,
    map_value_mismatches: i32,
}

type Set = IndexSet<String>;
type Map = IndexMap<String, String>;

fn index_of(set: &Set, key: &str) -> i32 {
    set.get_index_of(key).map_or(-1, |i| i as i32)
}

#[inline(never)]
fn build_pass(set: &mut Set, keys: &mut Keys, n: i32) -> i64 {
    let t0 = ticks();
    for _ in 0..n {
        set.insert(keys.next());
    }
    ticks() - t0
}

#[inline(never)]
fn lookup_pass_copies(set: &Set, mismatches: &mut i32) -> i64 {
    let t0 = ticks();
    let last = set.len() as i32 - 1;
    for i in 0..=last {
        let key: String = set.get_index(i as usize).cloned().unwrap_or_default();
        if index_of(set, &key) != i {
            *mismatches += 1;
        }
    }
    ticks() - t0
}

#[inline(never)]
fn lookup_pass_by_reference(set: &Set, mismatches: &mut i32) -> i64 {
    let t0 = ticks();
    let last = set.len() as i32 - 1;
    for i in 0..=last {
        let key: &str = set.get_index(i as usize).map_or("", |k| k.as_str());
        if index_of(set, key) != i {
            *mismatches += 1;
        }
    }
    ticks() - t0
}

#[inline(never)]
fn reverse_removal_pass(set: &mut Set) -> i64 {
    let t0 = ticks();
    for i in (0..set.len()).rev() {
        set.shift_remove_index(i);
    }
    ticks() - t0
}

#[inline(never)]
fn ascending_removal_pass(set: &mut Set) -> i64 {
    let t0 = ticks();
    let times = set.len();
    for _ in 0..times {
        set.shift_remove_index(0);
    }
    ticks() - t0
}

#[inline(never)]
fn map_build_pass(map: &mut Map, keys: &mut Keys, n: i32) -> i64 {
    let t0 = ticks();
    for _ in 0..n {
        let key = keys.next();
        let value = key.clone();
        map.insert(key, value);
    }
    ticks() - t0
}

#[inline(never)]
fn map_lookup_pass_copies(map: &Map, missing: &mut i32, value_mismatches: &mut i32) -> i64 {
    let t0 = ticks();
    let last = map.len() as i32 - 1;
    for i in 0..=last {
        let key: String = map.get_index(i as usize).map(|(k, _)| k.clone()).unwrap_or_default();
        if !map.contains_key(&key) {
            *missing += 1;
        }
        let value: String = map.get(&key).cloned().unwrap_or_default();
        if value != key {
            *value_mismatches += 1;
        }
    }
    ticks() - t0
}

#[inline(never)]
fn map_lookup_pass_by_reference(map: &Map, missing: &mut i32, value_mismatches: &mut i32) -> i64 {
    let t0 = ticks();
    let last = map.len() as i32 - 1;
    for i in 0..=last {
        let key: &str = map.get_index(i as usize).map_or("", |(k, _)| k.as_str());
        if !map.contains_key(key) {
            *missing += 1;
        }
        let value: &str = map.get(key).map_or("", |v| v.as_str());
        if value != key {
            *value_mismatches += 1;
        }
    }
    ticks() - t0
}

/// The five bag passes on a fresh set, then the two map passes on a fresh
/// map whose keys continue the generator, as bench/passes.h runs them.
fn run_all_passes(form: Form, n: i32, run_ascending: bool, counts: &mut Counts) -> [i64; PASS_COUNT] {
    let mut t = [NOT_RUN; PASS_COUNT];
    let mut keys = Keys::new();
    {
        let mut set = Set::new();
        t[0] = build_pass(&mut set, &mut keys, n);
        counts.count[0] = set.len() as i32;
        t[1] = match form {
            Form::SameContract => lookup_pass_copies(&set, &mut counts.lookup_mismatches),
            Form::ByReference => lookup_pass_by_reference(&set, &mut counts.lookup_mismatches),
        };
        counts.count[1] = set.len() as i32;
        t[2] = reverse_removal_pass(&mut set);
        counts.count[2] = set.len() as i32;
        t[3] = build_pass(&mut set, &mut keys, n);
        counts.count[3] = set.len() as i32;
        if run_ascending {
            t[4] = ascending_removal_pass(&mut set);
            counts.count[4] = set.len() as i32;
        }
    }
    let mut map = Map::new();
    t[5] = map_build_pass(&mut map, &mut keys, n);
    counts.count[5] = map.len() as i32;
    t[6] = match form {
        Form::SameContract => map_lookup_pass_copies(&map, &mut counts.map_missing, &mut counts.map_value_mismatches),
        Form::ByReference => {
            map_lookup_pass_by_reference(&map, &mut counts.map_missing, &mut counts.map_value_mismatches)
        }
    };
    counts.count[6] = map.len() as i32;
    t
}

fn counts_are_right(name: &str, n: i32, ran_ascending: bool, counts: &Counts) -> bool {
    let expected = [n, n, 0, n, 0, n, n];
    let mut right = counts.lookup_mismatches == 0 && counts.map_missing == 0 && counts.map_value_mismatches == 0;
    for pass in 0..PASS_COUNT {
        if pass == 4 && !ran_ascending {
            continue;
        }
        right = right && counts.count[pass] == expected[pass];
    }
    if !right {
        eprintln!(
            "hashbench-bench-rust: {} gave wrong results at n={} (counts {:?}, lookup mismatches {}, map missing {}, \
             map value mismatches {})",
            name, n, counts.count, counts.lookup_mismatches, counts.map_missing, counts.map_value_mismatches
        );
    }
    right
}

/// VmHWM of /proc/self/status in KiB; 0 when it cannot be read.
fn peak_resident_kb() -> i64 {
    let status = std::fs::read_to_string("/proc/self/status").unwrap_or_default();
    status
        .lines()
        .find_map(|line| line.strip_prefix("VmHWM:"))
        .and_then(|rest| rest.trim().trim_end_matches("kB").trim().parse().ok())
        .unwrap_or(0)
}

fn usage() -> ExitCode {
    eprintln!(
        "usage: hashbench-bench-rust list | check\n       hashbench-bench-rust passes NAME N ASCENDING_LIMIT\n       \
         hashbench-bench-rust memory NAME bag|map N"
    );
    ExitCode::from(2)
}

fn find_form(name: &str) -> Option<Form> {
    let found = CONTENDERS.iter().find(|(n, _)| *n == name).map(|(_, f)| *f);
    if found.is_none() {
        eprintln!("hashbench-bench-rust: no container named {} in this build", name);
    }
    found
}

fn parse_count(text: &str) -> Option<i32> {
    text.parse::<i32>().ok().filter(|v| (0..=50_000_000).contains(v))
}

fn passes(name: &str, size: &str, limit: &str) -> ExitCode {
    let (form, n, ascending_limit) = match (find_form(name), parse_count(size), parse_count(limit)) {
        (Some(form), Some(n), Some(limit)) => (form, n, limit),
        _ => return usage(),
    };
    let run_ascending = n <= ascending_limit;
    let mut counts = Counts::default();
    let t = run_all_passes(form, n, run_ascending, &mut counts);
    if !counts_are_right(name, n, run_ascending, &counts) {
        return ExitCode::from(1);
    }
    let fields: Vec<String> = t.iter().map(|v| v.to_string()).collect();
    println!("{}\t{}\t{}", name, n, fields.join("\t"));
    ExitCode::SUCCESS
}

fn memory(name: &str, kind: &str, size: &str) -> ExitCode {
    let n = match (find_form(name), parse_count(size)) {
        (Some(_), Some(n)) => n,
        _ => return usage(),
    };
    if n == 0 || (kind != "bag" && kind != "map") {
        return usage();
    }
    let baseline = peak_resident_kb();
    let mut keys = Keys::new();
    let (count, peak) = if kind == "map" {
        let mut map = Map::new();
        map_build_pass(&mut map, &mut keys, n);
        (map.len(), peak_resident_kb())
    } else {
        let mut set = Set::new();
        build_pass(&mut set, &mut keys, n);
        (set.len(), peak_resident_kb())
    };
    if count != n as usize || peak == 0 {
        eprintln!("hashbench-bench-rust: {} {} holds {} keys after {} additions", name, kind, count, n);
        return ExitCode::from(1);
    }
    println!("{}\t{}\t{}\t{:.1}", name, kind, n, (peak - baseline) as f64 * 1024.0 / f64::from(n));
    ExitCode::SUCCESS
}

/// The generator against the program's known keys, then both forms on the
/// program's own size.
fn check() -> ExitCode {
    let mut keys = Keys::new();
    let mut right = true;
    for expected in ["ZFNDWAMYIURWHQVRMYFY", "OZDLZFRRJBVLLUOLCYQX", "DUZLEGXNVWXTUFGHTVBN"] {
        let key = keys.next();
        if key != expected {
            eprintln!("hashbench-bench-rust: key {}, expected {}", key, expected);
            right = false;
        }
    }
    let mut from_start = Keys::new();
    let mut key = String::new();
    for _ in 0..2001 {
        key = from_start.next(); // two bag builds, then the map's first key
    }
    right = right && key == "BXRHSYRZERCNGJAFOLNC";
    for _ in 2001..3000 {
        key = from_start.next();
    }
    right = right && key == "DESZPJQWYJGBLMKOFTNV";
    if !right {
        eprintln!("hashbench-bench-rust: the key generator does not give the program's keys");
    }
    for (name, form) in CONTENDERS {
        let mut counts = Counts::default();
        run_all_passes(form, 1000, true, &mut counts);
        right = counts_are_right(name, 1000, true, &counts) && right;
    }
    println!("{}", if right { "check passed" } else { "check FAILED" });
    if right {
        ExitCode::SUCCESS
    } else {
        ExitCode::from(1)
    }
}

fn main() -> ExitCode {
    let args: Vec<String> = std::env::args().collect();
    let words: Vec<&str> = args.iter().skip(1).map(|s| s.as_str()).collect();
    match words.as_slice() {
        ["list"] => {
            for (name, form) in CONTENDERS {
                let form_name = if form == Form::SameContract { "copies" } else { "ref" };
                println!("{}\tindexmap\t{}\t{}", name, form_name, LABEL);
            }
            ExitCode::SUCCESS
        }
        ["check"] => check(),
        ["passes", name, size, limit] => passes(name, size, limit),
        ["memory", name, kind, size] => memory(name, kind, size),
        _ => usage(),
    }
}
