#!/usr/bin/perl
# Helpers of the status companion's checks: what a fleet file says the output must hold, and
# the output read back in a form that compares line by line.
#   status_fleet.pl series FLEET          samples that the fleet's values fix, normalised
#   status_fleet.pl perfdata FLEET [DEV]  the plugin's perfdata that the fleet fixes: LABEL=VALUE
#   status_fleet.pl normalise             exposition text on stdin -> one normalised sample a line
#   status_fleet.pl parse-perf            plugin output on stdin -> its perfdata as Monitoring::Plugin
#                                         reads it: LABEL=VALUE UOM;MIN
use strict;
use warnings;
use JSON::PP;

# A consumable's id from the label the scanner gives its counter ("Brake Roller:" -> brake_roller).
sub consumable_id {
    my ($label) = @_;
    $label =~ s/[\s:]+$//;
    $label =~ s/\s+/_/g;
    return lc $label;
}

sub attached_scanners {
    my ($file, @only) = @_;
    open my $in, '<', $file or die "$file: $!\n";
    my $fleet = decode_json(do { local $/; <$in> });
    my %wanted = map { $_ => 1 } @only;
    return grep { ($_->{attached} // JSON::PP::true) && (!@only || $wanted{$_->{name}}) }
        @{$fleet->{scanners}};
}

# One sample as name{label="value",...} with the labels sorted, then the value as a number.
sub sample {
    my ($name, $labels, $value) = @_;
    my $text = join ',', map { "$_=\"$labels->{$_}\"" } sort keys %$labels;
    return sprintf "%s{%s} %s", $name, $text, 0 + $value;
}

sub series {
    my ($file) = @_;
    my @lines;
    for my $s (attached_scanners($file)) {
        my $dev = $s->{name};
        my $id = $s->{identification} // {};
        push @lines, sample('orvex_scanner_up', {device => $dev}, 1);
        push @lines, sample('orvex_scanner_info', {device => $dev, product => $id->{productId},
            revision => $id->{revision}, serial => $id->{serialNumber}}, 1);
        push @lines, sample('orvex_scanner_sheets_total', {device => $dev, feeder => 'adf'},
            $s->{totals}{adf} // 0);
        for my $counter (values %{$s->{counters} // {}}) {
            next unless defined $counter->{label};
            my %labels = (device => $dev, consumable => consumable_id($counter->{label}));
            push @lines, sample('orvex_scanner_consumable_sheets_total', \%labels,
                $counter->{count} // 0);
            for my $mark (['mark1', 'first'], ['mark2', 'second']) {
                next unless $counter->{$mark->[0]};
                push @lines, sample('orvex_scanner_consumable_mark', {%labels, mark => $mark->[1]}, 1);
            }
        }
    }
    return @lines;
}

sub perfdata {
    my ($file, @only) = @_;
    my @lines;
    for my $s (attached_scanners($file, @only)) {
        for my $counter (values %{$s->{counters} // {}}) {
            next unless defined $counter->{label};
            push @lines, sprintf "%s %s=%d", $s->{name}, consumable_id($counter->{label}),
                $counter->{count} // 0;
        }
    }
    return @lines;
}

sub normalise {
    my @lines;
    while (my $line = <STDIN>) {
        next if $line =~ /^#/ || $line =~ /^\s*$/;
        $line =~ /^([a-zA-Z_:][a-zA-Z0-9_:]*)(?:\{(.*)\})?\s+(\S+)(?:\s+\d+)?\s*$/
            or die "not an exposition sample: $line";
        my ($name, $body, $value) = ($1, $2 // '', $3);
        my %labels;
        while ($body =~ /\G\s*([a-zA-Z_][a-zA-Z0-9_]*)="((?:[^"\\]|\\.)*)"\s*,?/gc) {
            $labels{$1} = $2;
        }
        die "bad labels: $line" if (pos($body) // 0) != length $body;
        $value = 0 + $value if $value =~ /^[-+]?[0-9.]+(?:e[-+]?[0-9]+)?$/i;
        my $text = join ',', map { "$_=\"$labels{$_}\"" } sort keys %labels;
        push @lines, "$name\{$text\} $value";
    }
    return @lines;
}

sub parse_perf {
    require Monitoring::Plugin::Performance;
    my $first = <STDIN> // '';
    chomp $first;
    my (undef, $perf) = split /\|/, $first, 2;
    my @lines;
    for my $p (Monitoring::Plugin::Performance->parse_perfstring($perf // '')) {
        push @lines, sprintf "%s=%s %s;%s", $p->label, $p->value, $p->uom // '', $p->min // '';
    }
    return @lines;
}

my $mode = shift // '';
my @out = $mode eq 'series' ? series(@ARGV)
    : $mode eq 'perfdata' ? perfdata(@ARGV)
    : $mode eq 'normalise' ? normalise()
    : $mode eq 'parse-perf' ? parse_perf()
    : die "usage: status_fleet.pl series|perfdata|normalise|parse-perf ...\n";
print map { "$_\n" } sort @out;
